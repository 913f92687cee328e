#include "ui/tab_order.h"

#include <QWidget>

namespace dvx {

void setReadingOrder(const QList<QWidget*>& controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (control->focusPolicy() == Qt::NoFocus) {
            continue;  // Qt would drop the link, and the rest of the chain with it
        }
        if (previous == nullptr) {
            control->setFocus();  // the chain of a whole window comes round at its end
        } else {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
}

}  // namespace dvx
