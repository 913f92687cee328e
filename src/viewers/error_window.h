#pragma once

#include <QWidget>
#include <string>

#include "viewers/error_reporter.h"
#include "viewers/message_list.h"

class QListWidget;

namespace dvx {

class Clock;

// The messages panel `frmError` of the main window: every message of the run with its time,
// newest first, repeats counted (MessageList). It sits in the main window's layout below the
// status line, the silence counter and the meters, so a message never covers them and never
// takes the focus. There is one for the whole program; the main window owns it and hands it
// to everyone as their ErrorReporter. Showing a message never blocks the caller. Main thread
// only.
class ErrorWindow : public QWidget, public ErrorReporter {
    Q_OBJECT

  public:
    explicit ErrorWindow(const Clock& clock, QWidget* parent = nullptr);

    // Adds `message` (UTF-8) at the top of the list, with the time of the clock.
    void showError(std::string_view message) override;
    // The same under `caption`, which the list names beside the text.
    void showMessage(std::string_view caption, std::string_view message) override;

    const MessageList& messages() const { return m_messages; }
    // The text of the newest message; empty before the first.
    std::string newestMessage() const;

  private:
    void refreshList();

    const Clock& m_clock;
    MessageList m_messages;
    QListWidget* m_list;
};

}  // namespace dvx
