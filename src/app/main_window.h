#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/clock.h"
#include "common/paths.h"

class QAction;
class QLabel;
class QListWidget;
class QPushButton;

namespace dvx {

class AudioBackend;
class ErrorWindow;
class LevelMeter;
class LevelScale;
struct Station;

// The main window `mnuMenu`: it is the program. It runs start-up, owns the station's state and
// the timers that drive everything that happens without a user, and opens the other windows
// from its menu. Closing it ends the run at once. Main thread only.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(Clock& clock, Paths paths, AudioBackend& audio, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs start-up. On failure returns false with the reason in `failure`; nothing that was
    // on disk has been overwritten.
    bool startUp(std::string& failure);

    ErrorWindow& errorWindow() { return *m_errorWindow; }
    Station* station() { return m_station.get(); }
    const Paths& paths() const { return m_paths; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void onClockTick();
    QAction* addWindowEntry(QMenu* menu, const QString& caption, const char* objectName,
                            std::function<QWidget*()> create);
    QAction* addMenuBarEntry(const QString& caption, const char* objectName,
                             std::function<QWidget*()> create);
    void openWindow(const char* objectName, const std::function<QWidget*()>& create);

    Clock& m_clock;
    Paths m_paths;
    AudioBackend& m_audio;
    std::unique_ptr<Station> m_station;
    ErrorWindow* m_errorWindow = nullptr;  // child: goes with the main window

    QLabel* m_lblClock = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_shape1 = nullptr;
    QPushButton* m_cmdStart = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QListWidget* m_list1 = nullptr;
    QListWidget* m_list2 = nullptr;
    LevelMeter* m_inputMeters[2] = {};
    LevelMeter* m_fillMeters[2] = {};
    LevelScale* m_inputScale = nullptr;
    LevelScale* m_fillScale = nullptr;

    std::map<QString, QPointer<QWidget>> m_windows;  // created on first use, kept
    std::unique_ptr<Timer> m_tmrClock;  // moves into the sensor engine with the monitoring
};

}  // namespace dvx
