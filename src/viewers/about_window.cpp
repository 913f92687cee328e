#include "viewers/about_window.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace dvx {
namespace {

// The desktops' system-information programs, looked for on PATH in this order.
constexpr const char* kSystemInfoPrograms[] = {"hardinfo2", "hardinfo", "gnome-system-monitor",
                                               "kinfocenter"};

}  // namespace

AboutWindow::AboutWindow(ErrorReporter& errors, QWidget* parent)
    : QDialog(parent), m_errors(errors) {
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

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    auto* sysInfo = new QPushButton("&System Info...", this);
    sysInfo->setObjectName("cmdSysInfo");
    connect(sysInfo, &QPushButton::clicked, this, &AboutWindow::startSystemInfo);

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

void AboutWindow::startSystemInfo() {
    for (const char* name : kSystemInfoPrograms) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty() && QProcess::startDetached(program, {})) {
            return;
        }
    }
    m_errors.showError("System Information Is Unavailable At This Time");
}

}  // namespace dvx
