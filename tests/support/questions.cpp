#include "support/questions.h"

#include <QAbstractButton>
#include <QApplication>

namespace dvx::test {

AnswerQuestions::AnswerQuestions(QMessageBox::StandardButton button) {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this, button] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked << box->text();
            box->button(button)->click();
        }
    });
    m_timer.start();
}

}  // namespace dvx::test
