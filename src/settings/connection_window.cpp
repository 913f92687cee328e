#include "settings/connection_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <optional>
#include <stdexcept>

#include "common/io_error.h"
#include "ui/control_names.h"
#include "ui/refused_mark.h"

namespace dvx {
namespace {

struct RateEntry {
    const char* caption;
    int rate;
};
constexpr RateEntry kRates[] = {{"1200", 1200},   {"2400", 2400},    {"4800", 4800},
                                {"9600", 9600},   {"19,200", 19200}, {"28,800", 28800},
                                {"57,600", 57600}};
constexpr int kPortCount = 8;

constexpr const char* kNoPortMessage =
    "Please select a serial port.  Click the number to make sure the background is blue.";
constexpr const char* kNoRateMessage =
    "Please select a baud rate.  Click the number to make sure the background is blue.";

// The stored rate as a number: decimal digits with blanks around them, nothing otherwise.
std::optional<long> rateValue(const std::string& text) {
    const QString trimmed = QString::fromStdString(text).trimmed();
    bool ok = false;
    const long value = trimmed.toLong(&ok);
    if (!ok || trimmed.isEmpty() || !trimmed.front().isDigit()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ConnectionWindow::ConnectionWindow(ConnectionSettings& connection, const Paths& paths,
                                   ErrorReporter& errors, QWidget* parent)
    : SettingsDialog(parent), m_connection(connection), m_paths(paths), m_errors(errors) {
    setObjectName("frmMyConnection");
    setWindowTitle("My Connection");

    auto* portLabel = new QLabel("Com Port", this);
    portLabel->setObjectName("Label1");
    m_ports = new QListWidget(this);
    m_ports->setObjectName("lstComPort");
    auto* rateLabel = new QLabel("Baud Rate", this);
    rateLabel->setObjectName("Label2");
    m_rates = new QListWidget(this);
    m_rates->setObjectName("lstBaudRate");
    setLabel(portLabel, m_ports);
    setLabel(rateLabel, m_rates);
    m_dialConnect = new QCheckBox("Dial Connect", this);
    m_dialConnect->setObjectName("Check1");

    watchEdits({m_ports, m_rates, m_dialConnect});

    QPushButton* apply = newApplyButton();
    QPushButton* close = newCloseButton();

    auto* lists = new QGridLayout;
    lists->addWidget(portLabel, 0, 0);
    lists->addWidget(rateLabel, 0, 1);
    lists->addWidget(m_ports, 1, 0);
    lists->addWidget(m_rates, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_dialConnect);
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);
    resize(300, 260);
}

void ConnectionWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        load();
    }
    QDialog::showEvent(event);
}

void ConnectionWindow::load() {
    m_dialConnect->setChecked(false);
    m_ports->clear();
    m_rates->clear();
    for (int port = 1; port <= kPortCount; ++port) {
        auto* item = new QListWidgetItem(QString::number(port), m_ports);
        item->setData(Qt::UserRole, port);
    }
    for (const RateEntry& entry : kRates) {
        auto* item = new QListWidgetItem(entry.caption, m_rates);
        item->setData(Qt::UserRole, entry.rate);
    }
    // Each step needs the one before: a stored value the window cannot show ends the loading
    // quietly and leaves the rest unselected.
    [&] {
        if (m_connection.ComPort < 0 || m_connection.ComPort > kPortCount) {
            return;
        }
        m_ports->setCurrentRow(m_connection.ComPort - 1);
        const std::optional<long> rate = rateValue(m_connection.BaudRate);
        if (!rate) {
            return;
        }
        for (int row = 0; row < m_rates->count(); ++row) {
            if (m_rates->item(row)->data(Qt::UserRole).toInt() == *rate) {
                m_rates->setCurrentRow(row);
            }
        }
        if (m_connection.DialConnect != 0 && m_connection.DialConnect != 1) {
            return;
        }
        m_dialConnect->setChecked(m_connection.DialConnect == 1);
    }();
    editsStored();
}

bool ConnectionWindow::applyEdits() {
    clearRefusedMarks(this);
    const std::pair<QListWidget*, const char*> lists[] = {{m_ports, kNoPortMessage},
                                                          {m_rates, kNoRateMessage}};
    for (const auto& [list, message] : lists) {
        const QListWidgetItem* item = list->currentItem();
        if (item == nullptr || !item->isSelected()) {
            markRefused(list, message);
            m_errors.showError(message);
            return false;
        }
    }
    ConnectionSettings chosen;
    chosen.ComPort = static_cast<std::int16_t>(m_ports->currentItem()->data(Qt::UserRole).toInt());
    chosen.BaudRate = std::to_string(m_rates->currentItem()->data(Qt::UserRole).toInt());
    chosen.DialConnect = m_dialConnect->isChecked() ? 1 : 0;
    // The running settings take the choice even when the file cannot be written: the next dial
    // uses it, and the error window says it will not survive a restart.
    m_connection = chosen;
    try {
        saveConnectionSettings(m_paths, m_connection);
    } catch (const std::exception& error) {
        m_errors.showError(std::string("The connection settings could not be saved. ") +
                           error.what());
        return false;
    }
    return true;
}

}  // namespace dvx
