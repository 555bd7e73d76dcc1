// Builds every control of the main window at its place, with its texts,
// items and start values. Places are client coordinates of the parent, as
// the window has always been laid out.

#include "main_window.h"

#include "data_text_validator.h"
#include "receive_view.h"
#include "usage_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>

namespace tarvenix {

namespace {

// Role name for automation (objectName and accessibleDescription, since
// accessibility tools do not see object names) and a spoken name.
template <typename W>
W* named(W* widget, const QString& role, const QString& spokenName)
{
    widget->setObjectName(role);
    widget->setAccessibleDescription(role);
    widget->setAccessibleName(spokenName);
    return widget;
}

template <typename W>
W* place(W* widget, int x, int y, int w, int h)
{
    widget->setGeometry(x, y, w, h);
    return widget;
}

QPushButton* button(QWidget* parent, const QString& role, const QString& caption, QRect at)
{
    auto* b = named(new QPushButton(caption, parent), role, QString(caption).replace("\r\n", ""));
    b->setGeometry(at);
    return b;
}

QStringList itemsOf(CommandCombo combo)
{
    QStringList items;
    for (const std::string& item : comboItems(combo))
        items << QString::fromStdString(item);
    return items;
}

QComboBox* dropDown(QWidget* parent, const QString& role, const QString& spokenName,
                    const QStringList& items, int selected, QRect at)
{
    auto* c = named(new QComboBox(parent), role, spokenName);
    c->setEditable(false);
    c->addItems(items);
    c->setCurrentIndex(selected);
    c->setGeometry(at);
    c->setMaxVisibleItems(20);
    return c;
}

QFont dataFont()
{
    QFont f;
    f.setPixelSize(10);
    return f;
}

QLineEdit* dataEdit(QWidget* parent, const QString& role, const QString& spokenName, QRect at)
{
    auto* e = named(new QLineEdit(parent), role, spokenName);
    e->setValidator(new DataTextValidator(e));
    e->setFont(dataFont());
    e->setGeometry(at);
    return e;
}

} // namespace

void MainWindow::buildControls()
{

    // Upper band: serial port, received data, configuration.
    ui_.serialGroup = named(new QGroupBox(QStringLiteral("串口"), this), "serialGroup", QStringLiteral("串口"));
    place(ui_.serialGroup, 0, 0, 184, 152);
    ui_.receiveGroup = named(new QGroupBox(QStringLiteral("接收\\反馈"), this), "receiveGroup", QStringLiteral("接收\\反馈"));
    place(ui_.receiveGroup, 184, 0, 512, 152);
    ui_.configGroup = named(new QGroupBox(QStringLiteral("配置"), this), "configGroup", QStringLiteral("配置"));
    place(ui_.configGroup, 704, 0, 360, 152);
    const QString learningTitle = QStringLiteral("学习区-填入按键触发后需要发送的数据")
        + QString(38, QLatin1Char(' ')) + QStringLiteral("调试工具请选用CH340主控芯片");
    ui_.learningGroup = named(new QGroupBox(learningTitle, this), "learningGroup", QStringLiteral("学习区"));
    place(ui_.learningGroup, 0, 160, 1072, 492);

    ui_.statusBar = named(new QStatusBar(this), "statusBar", QStringLiteral("状态"));
    ui_.statusBar->setSizeGripEnabled(false);
    place(ui_.statusBar, 0, clientHeight - 20, clientWidth, 20);
    ui_.statusText = named(new QLabel(ui_.statusBar), "statusText", QStringLiteral("状态"));
    ui_.statusBar->addWidget(ui_.statusText, 1);
    ui_.statusDetail = named(new QLabel(ui_.statusBar), "statusDetail", QStringLiteral("原因"));
    ui_.statusDetail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui_.statusBar->addWidget(ui_.statusDetail, 2);

    // Serial port.
    QWidget* s = ui_.serialGroup;
    ui_.portLabel = place(named(new QLabel(QStringLiteral("端口号："), s), "portLabel", QStringLiteral("端口号：")), 14, 33, 43, 16);
    ui_.portEdit = place(named(new QLineEdit(QStringLiteral("1"), s), "portEdit", QStringLiteral("端口号")), 62, 29, 98, 22);
    ui_.portEdit->setAlignment(Qt::AlignCenter);
    ui_.portLabel->setBuddy(ui_.portEdit);
    ui_.baudLabel = place(named(new QLabel(QStringLiteral("波特率："), s), "baudLabel", QStringLiteral("波特率：")), 14, 64, 48, 16);
    ui_.baudEdit = place(named(new QLineEdit(QStringLiteral("9600"), s), "baudEdit", QStringLiteral("波特率")), 62, 61, 98, 21);
    ui_.baudEdit->setAlignment(Qt::AlignCenter);
    ui_.baudLabel->setBuddy(ui_.baudEdit);
    ui_.startButton = button(s, "startButton", QStringLiteral("启动"), {14, 91, 70, 30});
    ui_.clearButton = button(s, "clearButton", QStringLiteral("清空→"), {98, 91, 70, 30});
    ui_.alwaysOnTopCheck = place(named(new QCheckBox(QStringLiteral("在所有窗口最前端"), s), "alwaysOnTopCheck",
                                       QStringLiteral("在所有窗口最前端")), 12, 125, 120, 20);

    // Received data.
    ui_.receiveBox = place(named(new ReceiveView(ui_.receiveGroup), "receiveBox", QStringLiteral("接收\\反馈")), 8, 13, 488, 129);

    // Configuration.
    QWidget* c = ui_.configGroup;
    ui_.openFileButton = button(c, "openFileButton", QStringLiteral("打开文件"), {8, 16, 72, 35});
    ui_.saveAsButton = button(c, "saveAsButton", QStringLiteral("另存文件"), {93, 16, 72, 35});
    ui_.enterConfigButton = button(c, "enterConfigButton", QStringLiteral("面板进入\r\n配置状态"), {190, 16, 72, 35});
    ui_.readInfoButton = button(c, "readInfoButton", QStringLiteral("读取\r\n面板信息"), {275, 16, 72, 35});
    const auto commandCombo = [&](CommandCombo combo, const char* role, const QString& spokenName, QRect at) {
        return dropDown(c, role, spokenName, itemsOf(combo), comboStartIndex(combo), at);
    };
    ui_.intervalCombo = commandCombo(CommandCombo::Interval, "intervalCombo", QStringLiteral("多数据间隔"), {8, 64, 88, 20});
    ui_.intervalButton = button(c, "intervalButton", QStringLiteral("多数据间隔"), {100, 64, 72, 20});
    ui_.vibrationCombo = commandCombo(CommandCombo::Vibration, "vibrationCombo", QStringLiteral("震动时长"), {8, 96, 88, 20});
    ui_.vibrationButton = button(c, "vibrationButton", QStringLiteral("震动时长"), {100, 96, 72, 20});
    ui_.baudRateCombo = commandCombo(CommandCombo::BaudRate, "baudRateCombo", QStringLiteral("波特率设置"), {184, 96, 88, 20});
    ui_.baudRateButton = button(c, "baudRateButton", QStringLiteral("波特率设置"), {276, 96, 72, 20});
    ui_.modeCombo = commandCombo(CommandCombo::Mode, "modeCombo", QStringLiteral("设置模式"), {8, 125, 88, 20});
    ui_.modeButton = button(c, "modeButton", QStringLiteral("设置模式"), {100, 125, 72, 20});
    ui_.addressCombo = commandCombo(CommandCombo::Address, "addressCombo", QStringLiteral("设置地址"), {184, 125, 88, 20});
    ui_.addressButton = button(c, "addressButton", QStringLiteral("设置地址"), {276, 125, 72, 20});

    // Learning area: three tabs and the progress bar.
    QWidget* l = ui_.learningGroup;
    ui_.learningTabs = place(named(new QTabWidget(l), "learningTabs", QStringLiteral("学习区")), 4, 16, 1060, 472);
    ui_.progressBar = place(named(new QProgressBar(l), "progressBar", QStringLiteral("进度")), 7, 477, 1050, 10);
    ui_.progressBar->setRange(0, 100);
    ui_.progressBar->setValue(0);
    ui_.progressBar->setTextVisible(false);

    auto* keyPage = new QWidget;
    auto* voicePage = new QWidget;
    auto* usagePage = new QWidget;
    keyPage->setObjectName("keyPage");
    voicePage->setObjectName("voicePage");
    usagePage->setObjectName("usagePage");
    ui_.learningTabs->addTab(keyPage, QStringLiteral("按键学习区"));
    ui_.learningTabs->addTab(voicePage, QStringLiteral("语音学习区"));
    ui_.learningTabs->addTab(usagePage, QStringLiteral("使用说明"));

    // Places inside the tabs are given relative to the tab control, whose
    // tab bar the rows have always cleared by three pixels; Qt's pages start
    // below the tab bar, so they are shifted by that bar's classic height.
    const int dx = 2;
    const int dy = 20;
    const auto inTab = [&](int x, int y, int w, int h) { return QRect(x - dx, y - dy, w, h); };

    ui_.keyWriteButton = button(keyPage, "keyWriteButton", QStringLiteral("写入面板"), inTab(555, 422, 100, 35));
    ui_.keyEraseButton = button(keyPage, "keyEraseButton", QStringLiteral("擦除面板"), inTab(430, 422, 100, 35));
    ui_.voiceWriteButton = button(voicePage, "voiceWriteButton", QStringLiteral("写入面板"), inTab(555, 422, 100, 35));
    ui_.voiceEraseButton = button(voicePage, "voiceEraseButton", QStringLiteral("擦除面板"), inTab(430, 422, 100, 35));
    ui_.keyWriteButton->setAccessibleName(QStringLiteral("按键学习区 写入面板"));
    ui_.keyEraseButton->setAccessibleName(QStringLiteral("按键学习区 擦除面板"));
    ui_.voiceWriteButton->setAccessibleName(QStringLiteral("语音学习区 写入面板"));
    ui_.voiceEraseButton->setAccessibleName(QStringLiteral("语音学习区 擦除面板"));

    ui_.usageText = place(named(new QTextEdit(usagePage), "usageText", QStringLiteral("使用说明")), 4 - dx, 24 - dy, 736, 408);
    ui_.usageText->setReadOnly(true);
    ui_.usageText->setFrameShape(QFrame::NoFrame);
    ui_.usageText->setLineWrapMode(QTextEdit::WidgetWidth);
    ui_.usageText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui_.usageText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette usagePalette = ui_.usageText->palette();
    usagePalette.setColor(QPalette::Base, QColor(236, 236, 236));
    ui_.usageText->setPalette(usagePalette);
    QFont usageFont;
    usageFont.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                           QStringLiteral("Noto Sans CJK SC")});
    usageFont.setPointSize(9);
    ui_.usageText->setFont(usageFont);
    ui_.usageText->setPlainText(usageText());

    // The 48 rows of each table: three columns of sixteen lines.
    QStringList keyItems{QStringLiteral("禁用")};
    for (int k = 1; k <= 8; ++k)
        keyItems << QStringLiteral("按键%1").arg(k);
    const QStringList stateItems{QStringLiteral("关"), QStringLiteral("开")};
    constexpr int keyComboX[] = {0, 363, 723};
    constexpr int keyStateX[] = {59, 422, 782};
    constexpr int keyDataX[] = {102, 464, 824};
    constexpr int voicePhraseX[] = {4, 360, 720};
    constexpr int voiceDataX[] = {104, 460, 820};
    for (int n = 1; n <= rowsPerTable; ++n) {
        const int column = (n - 1) / 16;
        const int line = (n - 1) % 16;
        const int y = 23 + 25 * line;
        const int voiceY = line == 0 ? 24 : y;
        const auto i = static_cast<std::size_t>(n - 1);
        const QString row = QString::number(n);
        ui_.keyRowKeyCombo[i] = dropDown(keyPage, "keyRowKeyCombo" + row, QStringLiteral("第%1行 按键").arg(n),
                                         keyItems, 0, inTab(keyComboX[column], y, 55, 20));
        ui_.keyRowStateCombo[i] = dropDown(keyPage, "keyRowStateCombo" + row, QStringLiteral("第%1行 状态").arg(n),
                                           stateItems, 1, inTab(keyStateX[column], y, 38, 20));
        ui_.keyRowDataEdit[i] = dataEdit(keyPage, "keyRowDataEdit" + row, QStringLiteral("第%1行 数据").arg(n),
                                         inTab(keyDataX[column], y, 230, 20));
        ui_.voiceRowPhraseCombo[i] = dropDown(voicePage, "voiceRowPhraseCombo" + row,
                                              QStringLiteral("第%1行 语音内容").arg(n), {}, -1,
                                              inTab(voicePhraseX[column], voiceY, 95, 20));
        ui_.voiceRowDataEdit[i] = dataEdit(voicePage, "voiceRowDataEdit" + row, QStringLiteral("第%1行 语音数据").arg(n),
                                           inTab(voiceDataX[column], voiceY, 230, 20));
    }
}

} // namespace tarvenix
