#pragma once

#include <QDialog>

#include "settings/connection_settings.h"
#include "viewers/error_reporter.h"

class QCheckBox;
class QListWidget;

namespace dvx {

class Paths;

// `frmMyConnection` ("My Connection"): the modem's serial port (`lstComPort`), its speed
// (`lstBaudRate`) and "Dial Connect" (`Check1`). Each click changes the running settings at
// once, so the next dial uses them; only Apply writes Connection.dat. Main thread only.
class ConnectionWindow : public QDialog {
    Q_OBJECT

  public:
    ConnectionWindow(ConnectionSettings& connection, const Paths& paths, ErrorReporter& errors,
                     QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void load();
    void apply();

    ConnectionSettings& m_connection;
    const Paths& m_paths;
    ErrorReporter& m_errors;
    QListWidget* m_ports = nullptr;
    QListWidget* m_rates = nullptr;
    QCheckBox* m_dialConnect = nullptr;
    bool m_loading = false;
};

}  // namespace dvx
