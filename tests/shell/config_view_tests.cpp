// The configuration file through the window: the autosave cycle, open and
// save as, over real files in a folder of the test's own.
#include "config/configuration.h"
#include "shell/autosave_location.h"
#include "shell/main_window.h"
#include "shell/program_copy.h"
#include "shell/shell_seams.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace tarvenix {
namespace {

const QString title = QStringLiteral("Tarvenix_V3.00   ");

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int entryCount(const QByteArray& file)
{
    return static_cast<int>(file.count("=")); // no stored value holds '=' in these tests
}

void edit(const MainWindow& w)
{
    const auto& ui = w.controls();
    ui.portEdit->setText("3");
    ui.baudEdit->setText("38400");
    ui.keyRowKeyCombo[6]->setCurrentIndex(8);
    ui.keyRowStateCombo[6]->setCurrentIndex(1);
    ui.keyRowDataEdit[6]->setText(QStringLiteral("AB 12"));
    ui.voiceRowPhraseCombo[0]->setCurrentIndex(83);
    ui.voiceRowDataEdit[47]->setText(QStringLiteral("0102"));
}

void expectEdited(const MainWindow& w)
{
    const auto& ui = w.controls();
    EXPECT_EQ(ui.portEdit->text(), "3");
    EXPECT_EQ(ui.baudEdit->text(), "38400");
    EXPECT_EQ(ui.keyRowKeyCombo[6]->currentText(), QStringLiteral("按键8"));
    EXPECT_EQ(ui.keyRowStateCombo[6]->currentText(), QStringLiteral("开"));
    EXPECT_EQ(ui.keyRowDataEdit[6]->text(), QStringLiteral("AB 12"));
    EXPECT_EQ(ui.voiceRowPhraseCombo[0]->currentText(), QStringLiteral("打开窗帘"));
    EXPECT_EQ(ui.voiceRowDataEdit[47]->text(), QStringLiteral("0102"));
}

TEST(ConfigView, TheFormSurvivesARestartThroughTheAutosaveFile)
{
    test::Sandbox sandbox;
    const QString autosave = sandbox.programDir() + QStringLiteral("/配置.vkt");
    {
        MainWindow w(sandbox.seams());
        EXPECT_EQ(w.windowTitle(), title + autosave);
        EXPECT_FALSE(QFile::exists(autosave)) << "start-up writes nothing";
        edit(w);
        w.close();
    }
    const QByteArray saved = bytesOf(autosave);
    EXPECT_EQ(entryCount(saved), 242);
    // GBK and CR LF: "[串口配置]", then "端口号=3".
    EXPECT_TRUE(saved.startsWith("[\xB4\xAE\xBF\xDA\xC5\xE4\xD6\xC3]\r\n\xB6\xCB\xBF\xDA\xBA\xC5=3\r\n"));
    MainWindow again(sandbox.seams());
    expectEdited(again);
    EXPECT_EQ(again.controls().keyRowKeyCombo[0]->currentText(), QStringLiteral("禁用"));
}

TEST(ConfigView, OpenLoadsTheChosenFileAndCancelChangesNothing)
{
    test::Sandbox sandbox;
    test::ScriptedFiles files;
    const QString other = sandbox.path("a.mbvkt");
    {
        MainWindow writer(sandbox.seams());
        edit(writer);
        ASSERT_TRUE(saveConfiguration(QFile::encodeName(other).toStdString(), writer.readForm()));
    }
    QFile::remove(sandbox.programDir() + QStringLiteral("/配置.vkt"));
    MainWindow w(sandbox.seams(nullptr, nullptr, &files));
    const QString caption = w.windowTitle();
    w.controls().portEdit->setText("7");
    files.answers = {std::nullopt};
    w.controls().openFileButton->click();
    EXPECT_EQ(w.windowTitle(), caption);
    EXPECT_EQ(w.controls().portEdit->text(), "7");

    files.answers = {other};
    w.controls().openFileButton->click();
    EXPECT_EQ(w.windowTitle(), title + other);
    expectEdited(w);

    // The opened file is not written at exit; the autosave file is.
    const QByteArray before = bytesOf(other);
    w.controls().portEdit->setText("9");
    files.answers = {std::nullopt};
    w.controls().saveAsButton->click();
    EXPECT_EQ(files.shown.back().second, other) << "the last chosen name is offered again";
    w.close();
    EXPECT_EQ(bytesOf(other), before);
    EXPECT_EQ(loadConfiguration(QFile::encodeName(sandbox.programDir() + QStringLiteral("/配置.vkt")).toStdString())
                  .portText,
              "9");
}

TEST(ConfigView, SaveAsAddsTheExtensionAndSaysWhenItCannotWrite)
{
    test::Sandbox sandbox;
    test::ScriptedFiles files;
    test::ScriptedPrompter prompter;
    MainWindow w(sandbox.seams(&prompter, nullptr, &files));
    edit(w);
    files.answers = {sandbox.path("x")};
    w.controls().saveAsButton->click();
    const QString saved = sandbox.path("x.mbvkt");
    EXPECT_EQ(w.windowTitle(), title + saved);
    EXPECT_EQ(entryCount(bytesOf(saved)), 242);
    EXPECT_TRUE(prompter.asked.empty());

    const QString nowhere = sandbox.path("missing-folder/y.mbvkt");
    files.answers = {nowhere};
    w.controls().saveAsButton->click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(QString::fromStdString(prompter.asked[0].text), QStringLiteral("保存失败：") + nowhere);
    EXPECT_EQ(prompter.asked[0].caption, "信息：");
    EXPECT_EQ(prompter.asked[0].buttons, Buttons::Ok);
    EXPECT_EQ(w.windowTitle(), title + nowhere) << "the caption names the chosen file all the same";
}

TEST(ConfigView, AnUnwritableProgramFolderFallsBackToTheUserFolder)
{
    test::Sandbox sandbox;
    ShellSeams seams = sandbox.seams();
    // A "folder" that is a plain file: nothing can be created in it, even by root.
    seams.programDir = sandbox.path("not-a-folder");
    QFile blocker(seams.programDir);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString expected = sandbox.userDir() + QStringLiteral("/配置.vkt");
    {
        MainWindow w(seams);
        EXPECT_EQ(w.autosavePath(), expected);
        EXPECT_EQ(w.windowTitle(), title + expected);
        edit(w);
    }
    MainWindow again(seams);
    expectEdited(again);
}

TEST(ConfigView, TerminationSignalRunsTheShutdownSave)
{
    test::ProgramCopy program;
    ASSERT_TRUE(program.start());
    EXPECT_TRUE(program.terminate()) << program.process().readAllStandardError().toStdString();
    EXPECT_EQ(entryCount(bytesOf(program.dir() + QStringLiteral("/配置.vkt"))), 242);
}

} // namespace
} // namespace tarvenix

namespace tarvenix {
namespace {

TEST(AutosaveLocation, AnInstalledProgramKeepsTheFormInTheUserFolder)
{
    test::Sandbox sandbox;
    QDir().mkpath(sandbox.userDir());
    QDir().mkpath(sandbox.programDir());
    EXPECT_TRUE(isInstalledProgramDir(QStringLiteral("/usr/bin")));
    EXPECT_TRUE(isInstalledProgramDir(QStringLiteral("/usr/local/bin/")));
    EXPECT_FALSE(isInstalledProgramDir(QStringLiteral("/home/setup/tarvenix")));
    EXPECT_EQ(chooseAutosavePath(QStringLiteral("/usr/bin"), sandbox.userDir()),
              sandbox.userDir() + QStringLiteral("/配置.vkt"));
    EXPECT_EQ(chooseAutosavePath(sandbox.programDir(), sandbox.userDir()),
              sandbox.programDir() + QStringLiteral("/配置.vkt"));
}

} // namespace
} // namespace tarvenix
