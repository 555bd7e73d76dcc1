#include "main_window.h"

#include "autosave_location.h"
#include "file_chooser.h"
#include "message_box_prompter.h"
#include "receive_view.h"

#include "link/event_loop_pauser.h"
#include "link/gbk_codec.h"
#include "link/port_name.h"
#include "link/receive_monitor.h"
#include "link/serial_link.h"

#include "config/configuration.h"
#include "learning/phrase_catalogue.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <filesystem>

namespace tarvenix {

namespace {

const QString closedStatusText = QStringLiteral("状态：串口未打开...");

std::filesystem::path toFsPath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Why an opening failed, in words an installer can act on.
QString openFailureReason(const QString& devicePath, const QString& systemError)
{
    QString reason = QStringLiteral("无法打开 %1：%2").arg(devicePath, systemError);
    const QString group = deniedDeviceGroup(devicePath);
    if (!group.isEmpty())
        reason += QStringLiteral("（当前用户需属于设备所属的组 %1，例如：sudo usermod -aG %1 $USER，然后重新登录）").arg(group);
    return reason;
}

} // namespace

MainWindow::MainWindow(ShellSeams seams, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      link_(std::make_unique<SerialLink>()),
      monitor_(std::make_unique<ReceiveMonitor>())
{
    setObjectName(QStringLiteral("mainWindow"));
    titleText_ = QStringLiteral("Tarvenix_V3.00   ");
    setWindowTitle(titleText_);
    setFixedSize(clientWidth, clientHeight);

    if (seams.prompter) {
        prompter_ = seams.prompter;
    } else {
        ownPrompter_ = std::make_unique<MessageBoxPrompter>(this);
        prompter_ = ownPrompter_.get();
    }
    if (seams.pauser) {
        pauser_ = seams.pauser;
    } else {
        ownPauser_ = std::make_unique<EventLoopPauser>();
        pauser_ = ownPauser_.get();
    }

    if (seams.files) {
        files_ = seams.files;
    } else {
        ownFiles_ = std::make_unique<DialogFileChooser>(this);
        files_ = ownFiles_.get();
    }
    const QString programDir = seams.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : seams.programDir;
    const QString userDir = seams.userConfigDir.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        : seams.userConfigDir;
    autosavePath_ = chooseAutosavePath(programDir, userDir);

    buildControls();

    connect(ui_.startButton, &QPushButton::clicked, this, &MainWindow::openSerialPort);
    connect(ui_.clearButton, &QPushButton::clicked, this, &MainWindow::clearReceiveBox);
    connect(ui_.alwaysOnTopCheck, &QCheckBox::clicked, this, &MainWindow::applyAlwaysOnTop);
    for (const CommandDefinition& command : commandTable()) {
        connect(buttonOf(command.command), &QPushButton::clicked, this,
                [this, id = command.command] { runPanelCommand(id); });
    }
    connect(ui_.openFileButton, &QPushButton::clicked, this, &MainWindow::openConfiguration);
    connect(ui_.saveAsButton, &QPushButton::clicked, this, &MainWindow::saveConfigurationAs);
    connect(ui_.keyWriteButton, &QPushButton::clicked, this, &MainWindow::writeKeyTable);
    connect(ui_.keyEraseButton, &QPushButton::clicked, this, &MainWindow::eraseKeyTable);
    connect(ui_.voiceWriteButton, &QPushButton::clicked, this, &MainWindow::writeVoiceTable);
    connect(ui_.voiceEraseButton, &QPushButton::clicked, this, &MainWindow::eraseVoiceTable);

    connect(link_.get(), &SerialLink::bytesReceived, monitor_.get(), &ReceiveMonitor::onBytesReceived);
    connect(link_.get(), &SerialLink::portLost, this, [this](const QString& reason) {
        showClosedView();
        ui_.statusDetail->setText(QStringLiteral("串口已断开：%1").arg(reason));
    });
    connect(monitor_.get(), &ReceiveMonitor::textReady, ui_.receiveBox, &ReceiveView::appendChunk);
    connect(monitor_.get(), &ReceiveMonitor::modeDecoded, ui_.modeCombo, &QComboBox::setCurrentIndex);

    onWindowCreated();
}

MainWindow::~MainWindow()
{
    onWindowDestroying();
}

void MainWindow::onWindowCreated()
{
    setWindowTitle(titleText_);
    ui_.statusText->setText(closedStatusText);
    ui_.receiveBox->clear();
    fillVoicePhraseBoxes();
    loadAutosave();
    ui_.learningTabs->setCurrentIndex(2);
    disableKeyTableButtons();
}

void MainWindow::onWindowDestroying()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    saveAutosave();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A sequence that is waiting inside a pause stops sending; the pause
    // returns as soon as the event loops unwind.
    closing_ = true;
    if (ownPauser_)
        ownPauser_->interrupt();
    onWindowDestroying();
    event->accept();
}

void MainWindow::openSerialPort()
{
    const PortTarget target = resolvePort(toGbk(ui_.portEdit->text()));
    const int baudRate = parseBaudRate(toGbk(ui_.baudEdit->text()));
    const QString device = fromGbk(target.devicePath);

    // A second attempt at once: adapters sometimes refuse the first opening
    // right after they were released.
    bool opened = link_->open(device, baudRate);
    if (!opened)
        opened = link_->open(device, baudRate);

    if (!opened) {
        ui_.statusDetail->setText(openFailureReason(device, link_->errorText()));
        showClosedView();
        return;
    }
    const SerialStatus st = link_->status();
    ui_.statusText->setText(QStringLiteral("状态：串口号:%1,波特率:%2,数据位:%3,停止位:%4,奇偶效验:%5")
                                .arg(fromGbk(target.shownName))
                                .arg(st.baudRate)
                                .arg(st.dataBits)
                                .arg(st.stopBitsCode)
                                .arg(st.parityCheck ? QStringLiteral("真") : QStringLiteral("假")));
    ui_.statusDetail->clear();
    enableKeyTableButtons();
    ui_.startButton->setText(QStringLiteral("关闭"));
}

void MainWindow::showClosedView()
{
    ui_.startButton->setText(QStringLiteral("启动"));
    ui_.statusText->setText(closedStatusText);
    disableKeyTableButtons();
}

void MainWindow::enableKeyTableButtons()
{
    portOpenView_ = true;
    updateSendingButtons();
}

void MainWindow::disableKeyTableButtons()
{
    portOpenView_ = false;
    updateSendingButtons();
}

void MainWindow::updateSendingButtons()
{
    // While a sequence runs nothing else may put frames between its frames,
    // nor reopen the port or replace the form under it.
    const bool idle = !busy_;
    ui_.keyWriteButton->setEnabled(portOpenView_ && idle);
    ui_.keyEraseButton->setEnabled(portOpenView_ && idle);
    for (QPushButton* b : {ui_.voiceWriteButton, ui_.voiceEraseButton, ui_.startButton, ui_.openFileButton,
                           ui_.saveAsButton, ui_.enterConfigButton, ui_.readInfoButton, ui_.intervalButton,
                           ui_.vibrationButton, ui_.baudRateButton, ui_.modeButton, ui_.addressButton})
        b->setEnabled(idle);
}

void MainWindow::applyAlwaysOnTop()
{
    const bool onTop = ui_.alwaysOnTopCheck->isChecked();
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        show(); // changing a window flag hides the window
}

void MainWindow::clearReceiveBox()
{
    // An open reply window goes on and ends normally.
    ui_.receiveBox->clear();
}

void MainWindow::setProgress(int position)
{
    ui_.progressBar->setValue(position);
}

PlanOutcome MainWindow::runSequence(const Plan& plan)
{
    if (busy_ || closing_)
        return PlanOutcome::Cancelled;
    busy_ = true;
    updateSendingButtons();
    PlanHost host{*link_, *pauser_, *prompter_, this, &closing_};
    const PlanOutcome outcome = runPlan(plan, host);
    busy_ = false;
    if (!closing_)
        updateSendingButtons();
    return outcome;
}

QComboBox* MainWindow::comboOf(CommandCombo combo) const
{
    switch (combo) {
    case CommandCombo::Mode:
        return ui_.modeCombo;
    case CommandCombo::Address:
        return ui_.addressCombo;
    case CommandCombo::BaudRate:
        return ui_.baudRateCombo;
    case CommandCombo::Vibration:
        return ui_.vibrationCombo;
    case CommandCombo::Interval:
        return ui_.intervalCombo;
    case CommandCombo::None:
        break;
    }
    return nullptr;
}

QPushButton* MainWindow::buttonOf(PanelCommand command) const
{
    switch (command) {
    case PanelCommand::EnterConfig:
        return ui_.enterConfigButton;
    case PanelCommand::ReadInfo:
        return ui_.readInfoButton;
    case PanelCommand::SetMode:
        return ui_.modeButton;
    case PanelCommand::SetAddress:
        return ui_.addressButton;
    case PanelCommand::SetBaudRate:
        return ui_.baudRateButton;
    case PanelCommand::SetVibration:
        return ui_.vibrationButton;
    case PanelCommand::SetInterval:
        return ui_.intervalButton;
    }
    return nullptr;
}

void MainWindow::runPanelCommand(PanelCommand command)
{
    const QComboBox* combo = comboOf(commandDefinition(command).combo);
    const int index = combo ? combo->currentIndex() : -1;
    const std::string text = combo ? combo->currentText().toStdString() : std::string();
    runSequence(commandPlan(command, index, text));
}

KeyTable MainWindow::readKeyTable() const
{
    KeyTable rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].keyIndex = ui_.keyRowKeyCombo[i]->currentIndex();
        rows[i].stateIndex = ui_.keyRowStateCombo[i]->currentIndex();
        rows[i].dataText = toGbk(ui_.keyRowDataEdit[i]->text());
    }
    return rows;
}

VoiceTable MainWindow::readVoiceTable() const
{
    VoiceTable rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].phraseIndex = ui_.voiceRowPhraseCombo[i]->currentIndex();
        rows[i].dataText = toGbk(ui_.voiceRowDataEdit[i]->text());
    }
    return rows;
}

void MainWindow::runTableWrite(const TableWritePlan& write)
{
    if (busy_ || closing_)
        return;
    if (!write.problems.empty()) {
        const RowProblem& first = write.problems.front();
        const std::string message = std::string(problemMessagePrefix(first.verdict))
            + fromGbk(first.dataText).toStdString();
        prompter_->ask(message, infoCaption, Buttons::OkCancel);
        return;
    }
    runSequence(*write.plan);
}

void MainWindow::writeKeyTable()
{
    runTableWrite(keyTableWritePlan(readKeyTable()));
}

void MainWindow::eraseKeyTable()
{
    runSequence(keyTableErasePlan());
}

void MainWindow::writeVoiceTable()
{
    runTableWrite(voiceTableWritePlan(readVoiceTable()));
}

void MainWindow::eraseVoiceTable()
{
    runSequence(voiceTableErasePlan());
}

void MainWindow::fillVoicePhraseBoxes()
{
    // Item k of every box is catalogue entry k: the panels and the files
    // know phrases only by this index.
    QStringList phrases;
    for (std::string_view phrase : voicePhraseCatalogue())
        phrases << QString::fromUtf8(phrase.data(), static_cast<qsizetype>(phrase.size()));
    for (QComboBox* box : ui_.voiceRowPhraseCombo) {
        box->addItems(phrases);
        box->setCurrentIndex(-1);
    }
}

void MainWindow::setConfigPath(const QString& path)
{
    configPath_ = path;
    setWindowTitle(titleText_ + configPath_);
}

bool MainWindow::saveFormTo(const QString& path)
{
    return saveConfiguration(toFsPath(path), readForm());
}

void MainWindow::loadAutosave()
{
    if (windowTitle() != titleText_)
        return;
    configPath_ = autosavePath_;
    applyForm(loadConfiguration(toFsPath(configPath_)));
    setConfigPath(configPath_);
}

void MainWindow::saveAutosave()
{
    // Whatever was opened or saved as during the run, the form goes back to
    // the autosave file, without a word.
    configPath_ = autosavePath_;
    saveFormTo(configPath_);
}

void MainWindow::openConfiguration()
{
    if (busy_)
        return;
    const auto chosen = files_->choose(FileChooser::Kind::Open, dialogFileName_);
    if (!chosen)
        return;
    dialogFileName_ = *chosen;
    setConfigPath(*chosen);
    applyForm(loadConfiguration(toFsPath(configPath_)));
}

void MainWindow::saveConfigurationAs()
{
    if (busy_)
        return;
    defaultExtension_ = QStringLiteral(".mbvkt");
    const auto chosen = files_->choose(FileChooser::Kind::Save, dialogFileName_);
    if (!chosen)
        return;
    const QString path = withDefaultExtension(*chosen, defaultExtension_);
    dialogFileName_ = path;
    setConfigPath(path);
    if (!saveFormTo(path))
        prompter_->ask((QStringLiteral("保存失败：") + path).toStdString(), infoCaption, Buttons::Ok);
}

FormSnapshot MainWindow::readForm() const
{
    FormSnapshot form;
    form.portText = toGbk(ui_.portEdit->text());
    form.baudText = toGbk(ui_.baudEdit->text());
    form.keyRows = readKeyTable();
    form.voiceRows = readVoiceTable();
    return form;
}

void MainWindow::applyForm(const FormSnapshot& form)
{
    ui_.portEdit->setText(fromGbk(form.portText));
    ui_.baudEdit->setText(fromGbk(form.baudText));
    for (std::size_t i = 0; i < form.keyRows.size(); ++i) {
        ui_.keyRowKeyCombo[i]->setCurrentIndex(form.keyRows[i].keyIndex);
        ui_.keyRowStateCombo[i]->setCurrentIndex(form.keyRows[i].stateIndex);
        ui_.keyRowDataEdit[i]->setText(fromGbk(form.keyRows[i].dataText));
    }
    for (std::size_t i = 0; i < form.voiceRows.size(); ++i) {
        // A box without items stays without a selection, whatever the file says.
        QComboBox* phrase = ui_.voiceRowPhraseCombo[i];
        phrase->setCurrentIndex(phrase->count() > 0 ? form.voiceRows[i].phraseIndex : -1);
        ui_.voiceRowDataEdit[i]->setText(fromGbk(form.voiceRows[i].dataText));
    }
}

} // namespace tarvenix
