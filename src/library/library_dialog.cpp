#include "library/library_dialog.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace dvx {

void LibraryDialog::silenceControls() {
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        child->blockSignals(true);
    }
}

void LibraryDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        opening();
    }
    QDialog::showEvent(event);
}

void LibraryDialog::closeEvent(QCloseEvent* event) {
    closing();
    event->accept();
}

void LibraryDialog::reject() {
    close();
}

}  // namespace dvx
