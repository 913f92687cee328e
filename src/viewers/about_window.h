#pragma once

#include <QDialog>
#include <QString>

#include "viewers/error_reporter.h"

namespace dvx {

// The about window `frmAbout`: program title and version, OK, and a button that starts the
// desktop's system-information program. Main thread only.
class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    explicit AboutWindow(ErrorReporter& errors, QWidget* parent = nullptr);

    // "Version 1.0.15" from the version the program was built with.
    static QString versionText();

  private:
    void startSystemInfo();

    ErrorReporter& m_errors;
};

}  // namespace dvx
