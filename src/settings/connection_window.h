#pragma once

#include "settings/connection_settings.h"
#include "ui/settings_dialog.h"
#include "viewers/error_reporter.h"

class QCheckBox;
class QListWidget;

namespace dvx {

class Paths;

// `frmMyConnection` ("My Connection"): the modem's serial port (`lstComPort`), its speed
// (`lstBaudRate`) and "Dial Connect" (`Check1`). The choices stay in the window until Apply (or
// Save on closing) hands them to the running settings, which the next dial uses, and writes
// Connection.dat. Main thread only.
class ConnectionWindow : public SettingsDialog {
    Q_OBJECT

  public:
    ConnectionWindow(ConnectionSettings& connection, const Paths& paths, ErrorReporter& errors,
                     QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void load();
    bool applyEdits() override;

    ConnectionSettings& m_connection;
    const Paths& m_paths;
    ErrorReporter& m_errors;
    QListWidget* m_ports = nullptr;
    QListWidget* m_rates = nullptr;
    QCheckBox* m_dialConnect = nullptr;
};

}  // namespace dvx
