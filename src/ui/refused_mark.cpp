#include "ui/refused_mark.h"

#include <QStyle>
#include <QWidget>

namespace dvx {
namespace {

constexpr const char* kRefused = "refused";
constexpr const char* kOwnToolTip = "toolTipBeforeRefusal";

void repolish(QWidget* control) {
    control->style()->unpolish(control);
    control->style()->polish(control);
}

}  // namespace

void markRefused(QWidget* control, const QString& why) {
    if (!control->property(kRefused).toBool()) {
        control->setProperty(kOwnToolTip, control->toolTip());
    }
    control->setProperty(kRefused, true);
    control->setToolTip(why);
    control->setAccessibleDescription(why);
    repolish(control);
}

void clearRefused(QWidget* control) {
    if (!control->property(kRefused).toBool()) {
        return;
    }
    control->setProperty(kRefused, false);
    control->setToolTip(control->property(kOwnToolTip).toString());
    control->setAccessibleDescription({});
    repolish(control);
}

void clearRefusedMarks(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        clearRefused(control);
    }
}

}  // namespace dvx
