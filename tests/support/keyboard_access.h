#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace dvx::test {

// The letter that Alt reaches a caption's control with ("&Start" -> 'S'), upper case; a null
// character when the caption has none ("&&" is a plain ampersand).
QChar accessKey(const QString& caption);

// What is wrong with the access keys of `window`, one line each: a shown push button or a menu
// of its menu bar without one, a letter that two of its shown buttons, check boxes, option
// buttons, labels or menu-bar menus share, and a letter that two entries of one menu share.
std::vector<QString> accessKeyProblems(QWidget* window);

// The controls that Tab visits in `window`, in turn, from the control the window opens on (its
// focus widget, else the first of its focus chain), as
// QWidget::focusNextPrevChild moves: shown, enabled controls that take focus by Tab, each as
// the control that focus lands on (a spin box's box). Ends where a control comes round again.
std::vector<QWidget*> tabChain(QWidget* window);

// What is wrong with the Tab chain of `window`: a shown, enabled control that takes focus by
// Tab but that Tab never reaches, and a chain that comes round to a control other than the
// first.
std::vector<QString> tabChainProblems(QWidget* window);

}  // namespace dvx::test
