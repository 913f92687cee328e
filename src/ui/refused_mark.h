#pragma once

#include <QString>

class QWidget;

namespace dvx {

// How a window marks a control whose value it refused: the dynamic property "refused" (drawn as a
// red frame by kRefusedStyleSheet, which the window carries) and the reason as the control's
// accessible description and tool tip, so a screen reader says why as well. The mark stays until
// the control is changed or the window clears its marks.
inline constexpr const char* kRefusedStyleSheet =
    "*[refused=\"true\"] { border: 2px solid #c00000; }";

void markRefused(QWidget* control, const QString& why);
void clearRefused(QWidget* control);
// Clears the marks of every control of `window`.
void clearRefusedMarks(QWidget* window);

}  // namespace dvx
