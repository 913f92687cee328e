#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/clock.h"
#include "common/paths.h"
#include "fill/fill_view.h"
#include "sensor/sensor_engine.h"
#include "sensor/sensor_view.h"
#include "viewers/system_info.h"

class QAction;
class QLabel;
class QListWidget;
class QPushButton;

namespace dvx {

class AlarmLog;
class RecordLog;
class AudioBackend;
class BackgroundSync;
class CommandRestart;
class ErrorWindow;
class Notifier;
class PortOpener;
class SensorRuntime;
class SoundFiles;
class LevelMeter;
class MetricsServer;
class StationTray;
struct ImportParts;
class LevelScale;
class StatusLine;
struct Station;

// The main window `mnuMenu`: it is the program. It runs start-up, owns the station's state and
// the timers that drive everything that happens without a user, and opens the other windows
// from its menu. Closing it ends the run, once every open settings window has been closed, each
// asking about its unsaved edits. Main thread only.
class MainWindow : public QMainWindow, public SensorView, public FillView {
    Q_OBJECT
  public:
    MainWindow(Clock& clock, Paths paths, AudioBackend& audio, SoundFiles& soundFiles,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs start-up. On failure returns false with the reason in `failure`; nothing that was
    // on disk has been overwritten.
    bool startUp(std::string& failure);

    // The last start-up step: arms the sensor when the parameters ask for it.
    void armIfAutoRun();
    // Ends the run without asking anything (SIGTERM and SIGINT, with nobody to answer): an armed
    // sensor is logged as stopped at program end, and the unsaved edits of settings windows are
    // dropped, each one named on the standard error stream.
    void closeAtProgramEnd();

    // On a first start (no parameters saved yet), opens My Preferences, which proposes a delay
    // and a threshold for the operator to confirm.
    void proposeFirstSettings();

    // After start-up: the tray icon, when the desktop has a tray, and the metrics endpoint at
    // `metricsAddress`, else at the address of the preferences (none: no endpoint). A bad
    // address or a port in use is reported in the error window; the run goes on without it.
    void watchFromAfar(const std::string& metricsAddress);
    // The port the metrics endpoint listens on; 0 when it does not.
    quint16 metricsPort() const { return m_metricsPort; }

    ErrorWindow& errorWindow() { return *m_errorWindow; }
    Station* station() { return m_station.get(); }
    SensorRuntime* runtime() { return m_runtime.get(); }
    const Paths& paths() const { return m_paths; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // SensorView
    void showSilence(const std::string& text) override;
    void showAlarm(bool visible) override;
    void showArmed(bool armed) override;
    void showProgram(const std::string& text) override;
    void showClock(const std::string& text) override;
    // FillView
    void showItem(const std::string& Label3) override;
    void showTimeLeft(const std::string& Label2) override;
    void setTimeLeftVisible(bool visible) override;
    void setFillMetersVisible(bool visible) override;

    void buildControls();
    void onStop();
    bool armed() const;
    // Asks before an armed sensor stops (one question at a time); `stop` runs on the answer.
    void askToStop(const QString& stopCaption, std::function<void()> stop);
    void refreshStatus();
    void refreshMeters();
    void refreshAudioHealth();
    // The meters, status and dropout line are refreshed only while somebody can see them.
    void setOutOfSight(bool outOfSight);
    void buildMenus();
    QAction* addWindowEntry(QMenu* menu, const QString& caption, const char* objectName,
                            std::function<QWidget*()> create);
    QAction* addMenuBarEntry(const QString& caption, const char* objectName,
                             std::function<QWidget*()> create);
    // Shows and raises the window of the menu entry `objectName`, made by `create` on first use.
    QWidget* openWindow(const char* objectName, const std::function<QWidget*()>& create);
    // The one rotation manager, which the Setup menu and the spot files window open.
    QWidget* openRotationManager();
    // What About > System Info shows, as of now.
    SystemInfo systemInfo() const;
    // What an import window works with (spots or music, as its target says).
    ImportParts importParts();
    // Closes every open settings window, each asking about its unsaved edits; false when one
    // stays open (its question was cancelled, or what it was to save was refused).
    bool settingsWindowsClosed();
    // Ends the run: the other windows go without their own closing handling, then the sensor,
    // then the files, then the syncing of what was written to them.
    void endRun();

    Clock& m_clock;
    Paths m_paths;
    AudioBackend& m_audio;
    SoundFiles& m_soundFiles;
    // In the order they are built; destroyed the other way round.
    std::unique_ptr<BackgroundSync> m_diskSync;  // fdatasync off the main thread
    std::unique_ptr<Station> m_station;
    std::unique_ptr<AlarmLog> m_log;
    std::unique_ptr<RecordLog> m_recordLog;  // record.log: recordings, imports, deletions
    std::unique_ptr<Notifier> m_notifier;
    std::unique_ptr<PortOpener> m_ports;
    std::unique_ptr<CommandRestart> m_restart;
    std::unique_ptr<SensorRuntime> m_runtime;
    std::unique_ptr<Timer> m_meterTimer;
    std::unique_ptr<MetricsServer> m_metrics;  // serves what the runtime shows
    quint16 m_metricsPort = 0;
    StationTray* m_tray = nullptr;         // child; none until watchFromAfar
    bool m_outOfSight = false;             // minimised or hidden after being shown
    ErrorWindow* m_errorWindow = nullptr;  // child: goes with the main window

    QLabel* m_lblClock = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_shape1 = nullptr;
    QLabel* m_audioHealth = nullptr;  // status bar: lost devices and dropouts
    StatusLine* m_status = nullptr;   // what the sensor is doing, in words
    QPushButton* m_cmdStart = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QListWidget* m_list1 = nullptr;
    QListWidget* m_list2 = nullptr;
    LevelMeter* m_inputMeters[2] = {};
    LevelMeter* m_fillMeters[2] = {};
    LevelScale* m_inputScale = nullptr;
    LevelScale* m_fillScale = nullptr;

    std::map<QString, QPointer<QWidget>> m_windows;   // created on first use, kept
    std::filesystem::path m_lastImportFolder;         // where the import windows browse
    QPointer<QMessageBox> m_stopQuestion;             // the question before a stop, while asked
    bool m_closeAnswered = false;                     // Close needs no (further) question
    StopReason m_endReason = StopReason::ProgramEnd;  // what stops a sensor still armed at the end
    bool m_endingWithoutQuestions = false;            // a signal ends the run: nobody answers
    bool m_firstStart = false;                        // start-up found no parameters saved
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
};

}  // namespace dvx
