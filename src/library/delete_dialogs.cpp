#include "library/delete_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "library/music_deletion.h"
#include "notify/window_helpers.h"

namespace dvx {

DeleteQuestionDialog::DeleteQuestionDialog(const char* objectName, const QString& caption,
                                           const std::vector<std::string>& notes,
                                           std::function<void()> confirmed, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* question = new QLabel("Are You Sure?", this);
    question->setObjectName("lblDialog1");
    auto* ok = new QPushButton("&DELETE", this);
    ok->setObjectName("OKButton");
    auto* cancel = new QPushButton("&CANCEL", this);
    cancel->setObjectName("CancelButton");
    cancel->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this, confirmed = std::move(confirmed)] {
        confirmed();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    for (const std::string& note : notes) {
        auto* line = new QLabel(fromStoredText(note), this);
        line->setObjectName("lblUses");
        line->setWordWrap(true);
        layout->addWidget(line);
    }
    layout->addLayout(buttons);
}

SpotDeleteDialog::SpotDeleteDialog(const SpotDeleteQuestion& question,
                                   std::function<void(int)> deleteSpot, QWidget* parent)
    : DeleteQuestionDialog(
          "frmDialog1", fromStoredText(question.caption), question.uses,
          [number = question.number, deleteSpot = std::move(deleteSpot)] { deleteSpot(number); },
          parent) {}

MusicDeleteDialog::MusicDeleteDialog(const std::string& question, std::function<void()> confirmed,
                                     QWidget* parent)
    : DeleteQuestionDialog("frmDialog2", fromStoredText(question), {}, std::move(confirmed),
                           parent) {}

MusicDeleteDialog* MusicDeleteDialog::ask(MusicCatalogue& catalogue, MusicFilesForm::Entry entry,
                                          ErrorReporter& errors, std::function<void()> deleted,
                                          QWidget* parent) {
    const std::optional<std::string> question =
        musicDeleteQuestion(catalogue, entry.number, errors);
    if (!question) {
        return nullptr;
    }
    auto* dialog = new MusicDeleteDialog(
        *question,
        [&catalogue, &errors, entry = std::move(entry), deleted = std::move(deleted)] {
            if (deleteMusicEntry(catalogue, entry.number, entry.file, errors)) {
                deleted();
            }
        },
        parent);
    dialog->open();
    return dialog;
}

SourceFileDeleteDialog::SourceFileDeleteDialog(std::filesystem::path path, DeleteFile deleteFile,
                                               QWidget* parent)
    : DeleteQuestionDialog(
          "frmDialog11", "Delete " + QString::fromStdString(path.string()) + " ?", {},
          [path, deleteFile = std::move(deleteFile)] { deleteFile(path); }, parent) {}

}  // namespace dvx
