#include "app/stop_question.h"

#include <QMessageBox>
#include <QPushButton>

namespace dvx {

QMessageBox* askToStopGuarding(QWidget* parent, const QString& stopCaption,
                               std::function<void()> stop) {
    auto* question = new QMessageBox(parent);
    question->setObjectName("msgStopGuarding");
    question->setWindowTitle("Stop Guarding");
    question->setIcon(QMessageBox::Warning);
    question->setText("The sensor is armed: stop guarding the station?");
    QPushButton* stopButton = question->addButton("&" + stopCaption, QMessageBox::AcceptRole);
    QPushButton* cancel = question->addButton("C&ancel", QMessageBox::RejectRole);
    question->setDefaultButton(cancel);
    question->setEscapeButton(cancel);
    question->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(question, &QMessageBox::buttonClicked, question,
                     [stopButton, stop = std::move(stop)](QAbstractButton* clicked) {
                         if (clicked == stopButton) {
                             stop();
                         }
                     });
    question->open();
    return question;
}

}  // namespace dvx
