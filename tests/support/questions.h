#pragma once

#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace dvx::test {

// While it lives, answers every question box a window asks with `button`, from within the box's
// own event loop, and notes the questions' texts in `asked`.
class AnswerQuestions {
  public:
    explicit AnswerQuestions(QMessageBox::StandardButton button);

    QStringList asked;

  private:
    QTimer m_timer;
};

}  // namespace dvx::test
