#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>

#include "viewers/error_reporter.h"
#include "viewers/system_info.h"

namespace dvx {

// The about window `frmAbout`: program title and version, OK, and System Info, which shows what
// `systemInfo` gathers in a read-only window (frmSystemInfo). Without `systemInfo` the button
// says the information is unavailable. Main thread only.
class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    explicit AboutWindow(ErrorReporter& errors, std::function<SystemInfo()> systemInfo = {},
                         QWidget* parent = nullptr);

    // "Version 1.0.15" from the version the program was built with.
    static QString versionText();

  private:
    void showSystemInfo();

    ErrorReporter& m_errors;
    std::function<SystemInfo()> m_systemInfo;
    QPointer<QWidget> m_systemInfoWindow;  // made on first use
};

}  // namespace dvx
