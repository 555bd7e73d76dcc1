#pragma once
// The one window of Tarvenix. Its controls hold the program's data; each
// handler reads the controls it needs into plain values, hands them to the
// pure code and shows the result.

#include "commands/command_table.h"
#include "config/form.h"
#include "learning/learning_rows.h"
#include "learning/table_plans.h"
#include "link/plan.h"
#include "link/plan_runner.h"

#include <QWidget>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTextEdit;

namespace tarvenix {

class EventLoopPauser;
class ReceiveMonitor;
class ReceiveView;
class SerialLink;
class FileChooser;

constexpr int rowsPerTable = 48;

// Every control of the window, by role.
struct WindowControls {
    QGroupBox* serialGroup = nullptr;
    QGroupBox* receiveGroup = nullptr;
    QGroupBox* configGroup = nullptr;
    QGroupBox* learningGroup = nullptr;
    QStatusBar* statusBar = nullptr;
    QLabel* statusText = nullptr;   // part 0 of the status bar
    QLabel* statusDetail = nullptr; // part 1: why an opening failed

    QLabel* portLabel = nullptr;
    QLineEdit* portEdit = nullptr;
    QLabel* baudLabel = nullptr;
    QLineEdit* baudEdit = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* clearButton = nullptr;
    QCheckBox* alwaysOnTopCheck = nullptr;

    ReceiveView* receiveBox = nullptr;

    QPushButton* openFileButton = nullptr;
    QPushButton* saveAsButton = nullptr;
    QPushButton* enterConfigButton = nullptr;
    QPushButton* readInfoButton = nullptr;
    QComboBox* intervalCombo = nullptr;
    QPushButton* intervalButton = nullptr;
    QComboBox* vibrationCombo = nullptr;
    QPushButton* vibrationButton = nullptr;
    QComboBox* baudRateCombo = nullptr;
    QPushButton* baudRateButton = nullptr;
    QComboBox* modeCombo = nullptr;
    QPushButton* modeButton = nullptr;
    QComboBox* addressCombo = nullptr;
    QPushButton* addressButton = nullptr;

    QTabWidget* learningTabs = nullptr;
    QProgressBar* progressBar = nullptr;
    QPushButton* keyWriteButton = nullptr;
    QPushButton* keyEraseButton = nullptr;
    QPushButton* voiceWriteButton = nullptr;
    QPushButton* voiceEraseButton = nullptr;
    QTextEdit* usageText = nullptr;

    std::array<QComboBox*, rowsPerTable> keyRowKeyCombo{};
    std::array<QComboBox*, rowsPerTable> keyRowStateCombo{};
    std::array<QLineEdit*, rowsPerTable> keyRowDataEdit{};
    std::array<QComboBox*, rowsPerTable> voiceRowPhraseCombo{};
    std::array<QLineEdit*, rowsPerTable> voiceRowDataEdit{};
};

// What tests (and only tests) replace: the modal question, the pause, the
// file dialog and the folders the autosave file may live in.
struct ShellSeams {
    Prompter* prompter = nullptr; // null: real message boxes
    Pauser* pauser = nullptr;     // null: the event-loop pause
    FileChooser* files = nullptr; // null: the platform's file dialog
    QString programDir;           // empty: the folder that holds the program
    QString userConfigDir;        // empty: the user's configuration folder
};

class MainWindow : public QWidget, private ProgressSink {
    Q_OBJECT
public:
    static constexpr int clientWidth = 1072;
    static constexpr int clientHeight = 672;

    explicit MainWindow(ShellSeams seams = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    const WindowControls& controls() const { return ui_; }
    SerialLink& serialLink() { return *link_; }
    bool sequenceRunning() const { return busy_; }

    // Handlers, named as the installers' manual and the tests know them.
    void openSerialPort();
    void enableKeyTableButtons();
    void disableKeyTableButtons();
    void applyAlwaysOnTop();
    void clearReceiveBox();
    // The seven panel commands share this one handler.
    void runPanelCommand(PanelCommand command);
    void writeKeyTable();
    void eraseKeyTable();
    void writeVoiceTable();
    void eraseVoiceTable();
    void fillVoicePhraseBoxes();
    void loadAutosave();
    void saveAutosave();
    void openConfiguration();
    void saveConfigurationAs();

    // The 242 stored values as the window holds them, and back.
    FormSnapshot readForm() const;
    void applyForm(const FormSnapshot& form);
    QString configPath() const { return configPath_; }
    QString autosavePath() const { return autosavePath_; }

    // The learning rows as they stand in the window now.
    KeyTable readKeyTable() const;
    VoiceTable readVoiceTable() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void onWindowCreated();
    void onWindowDestroying();
    void showClosedView();
    void updateSendingButtons();
    void setProgress(int position) override;
    QComboBox* comboOf(CommandCombo combo) const;
    QPushButton* buttonOf(PanelCommand command) const;
    // Shows the first bad row, or runs the plan made from the checked rows.
    void runTableWrite(const TableWritePlan& write);
    void setConfigPath(const QString& path);
    bool saveFormTo(const QString& path);
    // Runs a sequence unless another one is running; while it runs, nothing
    // else that sends can start.
    PlanOutcome runSequence(const Plan& plan);

    WindowControls ui_;
    std::unique_ptr<SerialLink> link_;
    std::unique_ptr<ReceiveMonitor> monitor_;
    std::unique_ptr<Prompter> ownPrompter_;
    std::unique_ptr<EventLoopPauser> ownPauser_;
    std::unique_ptr<FileChooser> ownFiles_;
    FileChooser* files_ = nullptr;
    QString autosavePath_;
    QString configPath_;
    QString dialogFileName_;   // offered again by the next dialog
    QString defaultExtension_; // set by the first save as
    Prompter* prompter_ = nullptr;
    Pauser* pauser_ = nullptr;
    QString titleText_;
    bool portOpenView_ = false;
    bool busy_ = false;
    bool closing_ = false;
    bool shutDown_ = false;
};

} // namespace tarvenix
