#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

#include "viewers/error_reporter.h"
#include "viewers/log_viewer.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace dvx {

// The log viewer `frmLogs` ("Alarm Logs", as its menu entry): choose a day from `lstDate`, then
// OK shows that day's lines in `lstActivityLog` by time or by event, and OK again goes back to
// the days; `lblStep` says which of the two the window is at ("Load Logs", "Select Log"). Each
// time the window is shown it lists the days afresh. The logic lives in LogViewer; this class draws
// it and forwards the buttons. Main thread only.
class LogViewerWindow : public QDialog {
    Q_OBJECT

  public:
    // `logsFolder` is the folder of the daily logs, `prefix` the log kind ("AL").
    LogViewerWindow(std::filesystem::path logsFolder, std::string prefix, ErrorReporter& errors,
                    QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void load();
    void ok();
    void showState();

    LogViewer m_viewer;
    ErrorReporter& m_errors;
    QLabel* m_step;
    QListWidget* m_days;
    QListWidget* m_lines;
    QRadioButton* m_byTime;
    QRadioButton* m_byEvent;
    QPushButton* m_ok;
};

}  // namespace dvx
