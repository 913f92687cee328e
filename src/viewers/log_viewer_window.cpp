#include "viewers/log_viewer_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/io_error.h"

namespace dvx {
namespace {

// Log lines hold names from the 8-bit catalogues; every byte maps to one character.
QStringList toQStrings(const std::vector<std::string>& lines) {
    QStringList result;
    result.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) {
        result.append(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    }
    return result;
}

}  // namespace

LogViewerWindow::LogViewerWindow(std::filesystem::path logsFolder, std::string prefix,
                                 ErrorReporter& errors, QWidget* parent)
    : QDialog(parent), m_viewer(std::move(logsFolder), std::move(prefix)), m_errors(errors) {
    setObjectName("frmLogs");
    setWindowTitle("Alarm Logs");
    setModal(false);

    m_step = new QLabel(this);
    m_step->setObjectName("lblStep");

    m_byTime = new QRadioButton("By &Time", this);
    m_byTime->setObjectName("Option1");
    m_byEvent = new QRadioButton("By &Event", this);
    m_byEvent->setObjectName("Option2");

    m_days = new QListWidget(this);
    m_days->setObjectName("lstDate");
    m_days->setAccessibleName("Dates");
    connect(m_days, &QListWidget::itemDoubleClicked, this, &LogViewerWindow::ok);

    m_lines = new QListWidget(this);
    m_lines->setObjectName("lstActivityLog");
    m_lines->setAccessibleName("Activity Log");
    m_lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_ok = new QPushButton("&OK", this);
    m_ok->setObjectName("cmdOk");
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &LogViewerWindow::ok);

    auto* close = new QPushButton("&Close", this);
    close->setObjectName("cmdClose");
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* options = new QHBoxLayout;
    options->addWidget(m_byTime);
    options->addWidget(m_byEvent);
    options->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(close);

    // Only one of the two lists is visible at a time, so they share the middle of the window.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_step);
    layout->addLayout(options);
    layout->addWidget(m_days, 1);
    layout->addWidget(m_lines, 1);
    layout->addLayout(buttons);
    resize(460, 380);

    m_lines->hide();
}

void LogViewerWindow::showEvent(QShowEvent* event) {
    // A window brought back from the taskbar keeps what it shows; opened again, it starts over.
    if (!event->spontaneous()) {
        load();
    }
    QDialog::showEvent(event);
}

void LogViewerWindow::load() {
    try {
        m_viewer.load();
    } catch (const IoError& error) {
        m_errors.showError(error.what());
    }
    m_byTime->setChecked(true);
    m_days->clear();
    m_days->addItems(toQStrings(m_viewer.days()));
    m_days->scrollToTop();
    m_days->setCurrentRow(0);
    showState();
}

void LogViewerWindow::ok() {
    const int row = m_days->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_viewer.days().size()) {
        return;
    }
    const LogOrder order = m_byEvent->isChecked() ? LogOrder::ByEvent : LogOrder::ByTime;
    try {
        m_viewer.ok(m_viewer.days()[static_cast<std::size_t>(row)], order);
    } catch (const IoError& error) {
        m_errors.showError(error.what());
    }
    showState();
}

void LogViewerWindow::showState() {
    const bool showingLines = m_viewer.showingLines();
    m_step->setText(QString::fromStdString(m_viewer.caption()));
    m_byTime->setVisible(!showingLines);
    m_byEvent->setVisible(!showingLines);
    m_days->setVisible(!showingLines);
    m_lines->clear();
    m_lines->addItems(toQStrings(m_viewer.lines()));
    m_lines->setVisible(showingLines);
    m_ok->setVisible(true);
    (showingLines ? static_cast<QWidget*>(m_lines) : m_days)->setFocus();
}

}  // namespace dvx
