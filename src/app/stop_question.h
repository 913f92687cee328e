#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace dvx {

// Asks before an armed sensor stops: "The sensor is armed: stop guarding the station?" with
// `stopCaption` ("Stop", "Close") and Cancel, Cancel the default. The question is window-modal
// but opened without an event loop of its own, so nothing waits on it: the monitoring goes on
// while it is asked. `stop` runs when the operator answers `stopCaption`; Cancel changes
// nothing. Returns the question, which deletes itself once answered.
QMessageBox* askToStopGuarding(QWidget* parent, const QString& stopCaption,
                               std::function<void()> stop);

}  // namespace dvx
