#include "shell/main_window.h"
#include "shell/shell_seams.h"
#include "shell/receive_view.h"
#include "shell/usage_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace tarvenix {
namespace {

QStringList itemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

TEST(Window, ControlsStandWhereTheInstallersKnowThem)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    const auto& ui = w.controls();
    EXPECT_EQ(w.size(), QSize(1072, 672));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "fixed size";
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tarvenix_V3.00   ") + w.autosavePath());
    EXPECT_EQ(w.autosavePath(), sandbox.programDir() + QStringLiteral("/配置.vkt"));

    struct Place { QWidget* widget; QRect rect; };
    for (const auto& p : {Place{ui.serialGroup, {0, 0, 184, 152}}, Place{ui.receiveGroup, {184, 0, 512, 152}},
                          Place{ui.configGroup, {704, 0, 360, 152}}, Place{ui.learningGroup, {0, 160, 1072, 492}},
                          Place{ui.portEdit, {62, 29, 98, 22}}, Place{ui.baudEdit, {62, 61, 98, 21}},
                          Place{ui.startButton, {14, 91, 70, 30}}, Place{ui.receiveBox, {8, 13, 488, 129}},
                          Place{ui.readInfoButton, {275, 16, 72, 35}}, Place{ui.addressButton, {276, 125, 72, 20}},
                          Place{ui.learningTabs, {4, 16, 1060, 472}}, Place{ui.progressBar, {7, 477, 1050, 10}}})
        EXPECT_EQ(p.widget->geometry(), p.rect) << p.widget->objectName().toStdString();

    // Rows are laid out by column (n-1) div 16 and line (n-1) mod 16, 25 pixels apart.
    const auto at = [&](QWidget* widget) { return widget->mapTo(ui.learningTabs, QPoint(0, 0)); };
    constexpr int columnX[] = {0, 363, 723};
    for (int n : {1, 16, 17, 48}) {
        const auto i = static_cast<std::size_t>(n - 1);
        const int column = (n - 1) / 16;
        const int line = (n - 1) % 16;
        EXPECT_EQ(at(ui.keyRowKeyCombo[i]).x() - at(ui.keyRowKeyCombo[0]).x(), columnX[column]);
        EXPECT_EQ(at(ui.keyRowDataEdit[i]).y() - at(ui.keyRowDataEdit[0]).y(), 25 * line);
        EXPECT_EQ(ui.keyRowDataEdit[i]->size(), QSize(230, 20));
        EXPECT_EQ(ui.voiceRowPhraseCombo[i]->size(), QSize(95, 20));
    }
    EXPECT_EQ(at(ui.voiceRowPhraseCombo[1]).y() - at(ui.voiceRowPhraseCombo[0]).y(), 24) << "line 0 stands at 24";
}

TEST(Window, EveryControlHasItsRoleNameForAutomation)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    QStringList roles{"portEdit", "baudEdit", "startButton", "clearButton", "alwaysOnTopCheck", "receiveBox",
                      "openFileButton", "saveAsButton", "enterConfigButton", "readInfoButton", "intervalCombo",
                      "intervalButton", "vibrationCombo", "vibrationButton", "baudRateCombo", "baudRateButton",
                      "modeCombo", "modeButton", "addressCombo", "addressButton", "learningTabs", "progressBar",
                      "keyWriteButton", "keyEraseButton", "voiceWriteButton", "voiceEraseButton", "usageText", "statusBar"};
    for (int n = 1; n <= 48; ++n)
        for (const char* kind : {"keyRowKeyCombo", "keyRowStateCombo", "keyRowDataEdit", "voiceRowPhraseCombo", "voiceRowDataEdit"})
            roles << QString(kind) + QString::number(n);
    for (const QString& role : roles) {
        auto* widget = w.findChild<QWidget*>(role);
        ASSERT_NE(widget, nullptr) << role.toStdString();
        EXPECT_EQ(widget->accessibleDescription(), role);
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << role.toStdString();
    }
}

TEST(Window, TextsItemsAndStartValues)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    const auto& ui = w.controls();
    EXPECT_EQ(ui.receiveGroup->title(), QStringLiteral("接收\\反馈"));
    EXPECT_EQ(ui.learningGroup->title(), QStringLiteral("学习区-填入按键触发后需要发送的数据") + QString(38, ' ')
                                             + QStringLiteral("调试工具请选用CH340主控芯片"));
    // Start-up loads the autosave file; with none, the stored boxes are empty.
    EXPECT_EQ(ui.portEdit->text(), "");
    EXPECT_EQ(ui.baudEdit->text(), "");
    EXPECT_EQ(ui.startButton->text(), QStringLiteral("启动"));
    EXPECT_EQ(ui.clearButton->text(), QStringLiteral("清空→"));
    EXPECT_EQ(ui.enterConfigButton->text(), QStringLiteral("面板进入\r\n配置状态"));
    EXPECT_FALSE(ui.alwaysOnTopCheck->isChecked());

    EXPECT_EQ(itemsOf(ui.modeCombo), (QStringList{"自定义A码", "自定义AB码", "固定A码", "固定AB码", "Modbus模式"}));
    EXPECT_EQ(itemsOf(ui.baudRateCombo), (QStringList{"9600", "38400", "115200"}));
    for (QComboBox* hex : {ui.intervalCombo, ui.vibrationCombo, ui.addressCombo}) {
        EXPECT_EQ(hex->count(), 255);
        EXPECT_EQ(hex->itemText(0), "00");
        EXPECT_EQ(hex->itemText(10), "0A");
        EXPECT_EQ(hex->itemText(254), "FE");
        EXPECT_FALSE(hex->isEditable());
    }
    EXPECT_EQ(ui.intervalCombo->currentText(), "1E");
    EXPECT_EQ(ui.vibrationCombo->currentText(), "46");
    EXPECT_EQ(ui.addressCombo->currentText(), "00");
    EXPECT_EQ(ui.modeCombo->currentIndex(), 0);

    EXPECT_EQ(itemsOf(ui.keyRowKeyCombo[47]),
              (QStringList{"禁用", "按键1", "按键2", "按键3", "按键4", "按键5", "按键6", "按键7", "按键8"}));
    EXPECT_EQ(itemsOf(ui.keyRowStateCombo[0]), (QStringList{"关", "开"}));
    for (std::size_t i = 0; i < 48; ++i) {
        EXPECT_EQ(ui.keyRowKeyCombo[i]->currentText(), QStringLiteral("禁用"));
        EXPECT_EQ(ui.keyRowStateCombo[i]->currentText(), QStringLiteral("关"));
        EXPECT_TRUE(ui.keyRowDataEdit[i]->text().isEmpty());
        EXPECT_EQ(ui.voiceRowPhraseCombo[i]->count(), 149);
        EXPECT_EQ(ui.voiceRowPhraseCombo[i]->currentText(), QStringLiteral("禁用"));
        EXPECT_TRUE(ui.voiceRowDataEdit[i]->text().isEmpty());
    }
    EXPECT_EQ(ui.voiceRowPhraseCombo[0]->itemText(148), QStringLiteral("观影模式"));

    QStringList tabs;
    for (int i = 0; i < ui.learningTabs->count(); ++i)
        tabs << ui.learningTabs->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"按键学习区", "语音学习区", "使用说明"}));
    EXPECT_EQ(ui.learningTabs->currentIndex(), 2) << "the instructions are in front after start-up";
    EXPECT_EQ(ui.progressBar->value(), 0);
    EXPECT_EQ(ui.statusText->text(), QStringLiteral("状态：串口未打开..."));
    EXPECT_TRUE(ui.receiveBox->toPlainText().isEmpty());

    EXPECT_FALSE(ui.keyWriteButton->isEnabled());
    EXPECT_FALSE(ui.keyEraseButton->isEnabled());
    EXPECT_TRUE(ui.voiceWriteButton->isEnabled());
    EXPECT_TRUE(ui.voiceEraseButton->isEnabled());
}

TEST(Window, UsageTextIsReadOnlyAndWordForWord)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    const QTextEdit* usage = w.controls().usageText;
    EXPECT_TRUE(usage->isReadOnly());
    const QString text = usageText();
    EXPECT_TRUE(text.startsWith(QString(109, ' ') + "\r\n1、端口号："));
    EXPECT_TRUE(text.contains(QStringLiteral("默认70ms。\r\n“波特率设置”有特别需求时修改。\r\n\r\n注意：")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("单击任意按键退出配置模式。）")));
    EXPECT_EQ(text.count("\r\n\r\n"), 7);
    EXPECT_EQ(usage->toPlainText(), QString(text).replace("\r\n", "\n"));
}

TEST(Window, DataBoxesTurnTypedLettersIntoCapitals)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    QLineEdit* key = w.controls().keyRowDataEdit[4];
    QLineEdit* voice = w.controls().voiceRowDataEdit[47];
    QTest::keyClicks(key, "fd 0a");
    QTest::keyClicks(voice, "ab");
    EXPECT_EQ(key->text(), "FD 0A");
    EXPECT_EQ(voice->text(), "AB");
    // A text that GBK cannot hold does not get in.
    key->clear();
    QTest::keyClicks(key, "A");
    QTest::sendKeyEvent(QTest::Click, key, Qt::Key_unknown, QString::fromUtf8("\xF0\x9F\x98\x80"), Qt::NoModifier);
    QTest::keyClicks(key, "B");
    EXPECT_EQ(key->text(), "AB");
}

TEST(Window, AlwaysOnTopFollowsTheCheckBox)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    w.show();
    QCheckBox* check = w.controls().alwaysOnTopCheck;
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
    EXPECT_TRUE(check->isChecked());
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w.isVisible());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
    EXPECT_FALSE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w.isVisible());
}

TEST(Window, ReceiveBoxKeepsTheNewestTextWithinItsLimit)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    ReceiveView* box = w.controls().receiveBox;
    for (int i = 0; i < 3000; ++i)
        box->appendChunk(QStringLiteral("%1 77 88 02 \n").arg(i % 100, 2, 10, QLatin1Char('0')));
    EXPECT_LE(box->characterCount(), ReceiveView::characterLimit);
    EXPECT_GT(box->characterCount(), ReceiveView::characterLimit - 20);
    EXPECT_TRUE(box->toPlainText().endsWith("99 77 88 02 \n"));
    EXPECT_TRUE(box->toPlainText().startsWith(QString()) && box->document()->firstBlock().text().size() == 12)
        << "whole lines are dropped";
    // One endless line is cut inside.
    box->clear();
    box->appendChunk(QString(30000, 'A') + "Z");
    EXPECT_EQ(box->characterCount(), ReceiveView::characterLimit);
    EXPECT_TRUE(box->toPlainText().endsWith("AZ"));
}

} // namespace
} // namespace tarvenix
