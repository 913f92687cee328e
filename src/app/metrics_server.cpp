#include "app/metrics_server.h"

#include <QHostAddress>
#include <QHttpServer>
#include <QTcpServer>

#include "app/station_metrics.h"

namespace dvx {
namespace {

std::optional<QHostAddress> hostAddress(const std::string& host) {
    if (host == "localhost") {
        return QHostAddress(QHostAddress::LocalHost);
    }
    if (host == "*") {
        return QHostAddress(QHostAddress::Any);
    }
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(host))) {
        return std::nullopt;
    }
    return address;
}

}  // namespace

MetricsServer::MetricsServer(std::function<std::string()> render, QObject* parent)
    : QObject(parent), m_server(std::make_unique<QHttpServer>()) {
    m_server->route("/metrics", QHttpServerRequest::Method::Get, [render = std::move(render)] {
        return QHttpServerResponse(QByteArray(kMetricsContentType),
                                   QByteArray::fromStdString(render()));
    });
}

MetricsServer::~MetricsServer() = default;

quint16 MetricsServer::listen(const MetricsAddress& address, std::string& error) {
    const std::string where = describeMetricsAddress(address);
    const std::optional<QHostAddress> host = hostAddress(address.host);
    if (!host) {
        error = "The metrics endpoint is off: \"" + address.host +
                "\" is not an IP address (try 127.0.0.1:" + std::to_string(address.port) + ")";
        return 0;
    }
    auto tcp = std::make_unique<QTcpServer>();
    if (!tcp->listen(*host, static_cast<quint16>(address.port))) {
        error = "The metrics endpoint is off: it cannot listen on " + where + ": " +
                tcp->errorString().toStdString();
        return 0;
    }
    const quint16 port = tcp->serverPort();
    m_server->bind(tcp.release());  // the HTTP server takes it over
    return port;
}

}  // namespace dvx
