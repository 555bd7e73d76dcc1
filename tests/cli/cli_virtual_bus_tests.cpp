// The real tarvenix-cli against the virtual panel bus: what the tool writes
// is what a panel keeps, and what a panel answers is what the tool prints.

#include "cli_process.h"

#include "config/configuration.h"
#include "sim/virtual_bus.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarvenix::test {
namespace {

using ::testing::HasSubstr;

TEST(CliOnVirtualBus, AKeyTableWrittenByTheToolIsKeptByThePanel)
{
    sim::VirtualBus bus;
    ASSERT_TRUE(bus.open()) << bus.errorText().toStdString();
    const QStringList port{"--port", bus.devicePath(), "--yes"};

    QTemporaryDir dir;
    FormSnapshot form;
    form.keyRows[0] = {2, 1, "12 34 AB"};
    form.keyRows[2] = {8, 0, "01"};
    const QString file = dir.filePath(QStringLiteral("panels.mbvkt"));
    ASSERT_TRUE(saveConfiguration(file.toStdString(), form));

    EXPECT_EQ(runCliProcess(port + QStringList{"enter-config"}).exitCode, 0);
    const CliRun write = runCliProcess(port + QStringList{"write-keys", file});
    EXPECT_EQ(write.exitCode, 0) << write.err;

    const sim::Panel& panel = bus.bus().panels().front();
    EXPECT_EQ(panel.keyRows[0], (sim::LearnedKeyRow{2, 1, {0x12, 0x34, 0xAB}}));
    EXPECT_EQ(panel.keyRows[2], (sim::LearnedKeyRow{8, 0, {0x01}}));
    EXPECT_THAT(bus.dump().toStdString(), HasSubstr("key table: 2 rows"));

    // The panel now answers under the address the tool gave it.
    EXPECT_EQ(runCliProcess(port + QStringList{"set-address", "3C"}).exitCode, 0);
    const CliRun info = runCliProcess(port + QStringList{"read-info"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.out, "3C 77 88 00\n面板地址为：3C\n面板按键模式为：自定义A码\n");
}

} // namespace
} // namespace tarvenix::test
