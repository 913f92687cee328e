#include "viewers/system_info_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace dvx {

SystemInfoWindow::SystemInfoWindow(std::function<SystemInfo()> gather, QWidget* parent)
    : QDialog(parent), m_gather(std::move(gather)) {
    setObjectName("frmSystemInfo");
    setWindowTitle("System Info");
    setModal(false);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("txtSystemInfo");
    m_text->setAccessibleName("System information");
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* close = new QPushButton("&Close", this);
    close->setObjectName("cmdClose");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(460, 280);
}

void SystemInfoWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        m_text->setPlainText(QString::fromStdString(systemInfoText(m_gather())));
    }
    QDialog::showEvent(event);
}

}  // namespace dvx
