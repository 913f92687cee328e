#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace dvx {

// How the windows name their controls for assistive technology (screen readers, and the
// end-to-end tests that find controls the same way). Buttons, check boxes, option buttons and
// menu entries are named by their captions; the rest by a label or by a name of their own.

// Makes `label` the label of `control`: the label's shortcut letter reaches the control, and the
// label's text is the control's accessible name. Lists and tables take no name from a label, so
// they are given the text as their accessible name.
void setLabel(QLabel* label, QWidget* control);

// A new label with `caption`, beside `control` (in `control`'s parent).
QLabel* newLabel(const QString& caption, QWidget* control);

// The names of a weekday's start and stop boxes, "Sunday Start" and "Sunday Stop": one label
// above a column of boxes cannot tell the days apart.
void nameStartStop(QWidget* start, QWidget* stop, const QString& day);

}  // namespace dvx
