#pragma once

#include <QList>

class QWidget;

namespace dvx {

// Makes Tab move through `controls`, every control of one window, in the order given (reading
// order: top to bottom, left to right within a row, or down one column after another), and
// opens the window on the first: Qt may leave the start of the chain elsewhere.
// Controls that never take focus are passed over, so a label or a bar may stand in the list.
void setReadingOrder(const QList<QWidget*>& controls);

}  // namespace dvx
