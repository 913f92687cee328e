#include "viewers/about_window.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewers/system_info_window.h"

namespace dvx {

AboutWindow::AboutWindow(ErrorReporter& errors, std::function<SystemInfo()> systemInfo,
                         QWidget* parent)
    : QDialog(parent), m_errors(errors), m_systemInfo(std::move(systemInfo)) {
    setObjectName("frmAbout");
    setWindowTitle("About Dorvexia");
    setModal(false);

    auto* title = new QLabel("Dorvexia", this);
    title->setObjectName("lblTitle");
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(versionText(), this);
    version->setObjectName("lblVersion");
    version->setAlignment(Qt::AlignCenter);

    auto* ok = new QPushButton("&OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    auto* sysInfo = new QPushButton("&System Info...", this);
    sysInfo->setObjectName("cmdSysInfo");
    connect(sysInfo, &QPushButton::clicked, this, &AboutWindow::showSystemInfo);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

QString AboutWindow::versionText() {
    return QString("Version %1.%2.%3")
        .arg(DORVEXIA_VERSION_MAJOR)
        .arg(DORVEXIA_VERSION_MINOR)
        .arg(DORVEXIA_VERSION_PATCH);
}

void AboutWindow::showSystemInfo() {
    if (!m_systemInfo) {
        m_errors.showError("System Information Is Unavailable At This Time");
        return;
    }
    if (m_systemInfoWindow.isNull()) {
        m_systemInfoWindow = new SystemInfoWindow(m_systemInfo, this);
        m_systemInfoWindow->setWindowFlag(Qt::Window);
    }
    m_systemInfoWindow->show();
    m_systemInfoWindow->raise();
}

}  // namespace dvx
