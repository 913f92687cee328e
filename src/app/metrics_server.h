#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "settings/metrics_address.h"

class QHttpServer;

namespace dvx {

// Serves the station's metrics over HTTP: GET /metrics answers with the text `render` makes at
// that moment, in the Prometheus text format; every other path is not found. Main thread only
// (requests are answered between the other handlers, one at a time).
class MetricsServer : public QObject {
    Q_OBJECT
  public:
    explicit MetricsServer(std::function<std::string()> render, QObject* parent = nullptr);
    ~MetricsServer() override;

    // Starts to listen on `address` ("localhost" is 127.0.0.1, "*" every interface). Returns
    // the port it listens on, or 0 with the reason in `error` (a host that is no address of
    // this machine, a port in use); the server then serves nothing.
    quint16 listen(const MetricsAddress& address, std::string& error);

  private:
    std::unique_ptr<QHttpServer> m_server;
};

}  // namespace dvx
