#pragma once

#include <QDialog>

#include "viewers/error_reporter.h"

class QLabel;

namespace dvx {

// The error window `frmError`: one message and an OK button. There is one for the whole
// program; the main window owns it and hands it to everyone as their ErrorReporter. Showing a
// message never blocks the caller, and a new message replaces the one on show. Main thread only.
class ErrorWindow : public QDialog, public ErrorReporter {
    Q_OBJECT

  public:
    // With a parent (the main window) it is a tool window that stays above that window.
    explicit ErrorWindow(QWidget* parent = nullptr);

    // Shows the window, not modal, in front, with `message` (UTF-8) as its only text.
    void showError(std::string_view message) override;
    // The same with `caption` in the title bar until the next message.
    void showMessage(std::string_view caption, std::string_view message) override;

    // For the main window when it is activated: keeps a message on show from hiding behind it.
    void bringToFront();

  private:
    QLabel* m_message;
};

}  // namespace dvx
