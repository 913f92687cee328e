#include "ui/control_names.h"

#include <QAbstractItemView>
#include <QLabel>

namespace dvx {
namespace {

// A caption as it is heard: "&Name" is "Name", "R&&B" is "R&B".
QString withoutShortcut(QString text) {
    for (qsizetype at = text.indexOf('&'); at >= 0; at = text.indexOf('&', at + 1)) {
        text.remove(at, 1);
    }
    return text;
}

}  // namespace

void setLabel(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    if (qobject_cast<QAbstractItemView*>(control) != nullptr) {
        control->setAccessibleName(withoutShortcut(label->text()));
    }
}

QLabel* newLabel(const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, control->parentWidget());
    setLabel(label, control);
    return label;
}

void nameStartStop(QWidget* start, QWidget* stop, const QString& day) {
    start->setAccessibleName(day + " Start");
    stop->setAccessibleName(day + " Stop");
}

}  // namespace dvx
