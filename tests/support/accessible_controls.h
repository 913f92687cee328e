#pragma once

#include <QAccessible>
#include <QString>
#include <vector>

class QWidget;

namespace dvx::test {

// A control of a window as assistive technology sees it: its role and accessible name, and
// `scope`, the menu it sits in (empty for the controls of the window itself). `where` names
// the widget for messages.
struct AccessibleControl {
    QAccessible::Role role;
    QString name;
    QString scope;
    QString where;
};

// Every control of `window` that a user operates: buttons, check boxes, option buttons, boxes,
// spin boxes, sliders, lists, tables, combo boxes and menu entries, shown or not. Other windows
// are left out, the window's own pop-up menus are in.
std::vector<AccessibleControl> accessibleControls(QWidget* window);

// What is wrong with the names of `controls`, one line each: a control without a name, and a
// name that two controls of one scope share. Empty when all is well.
std::vector<QString> namingProblems(const std::vector<AccessibleControl>& controls);

}  // namespace dvx::test
