#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "library/music_files_form.h"
#include "library/spot_deletion.h"

namespace dvx {

class ErrorReporter;

// The look the deletion questions share: the question is the caption; "Are You Sure?"
// (`lblDialog1`) with, below it, what else the operator should know first; "DELETE"
// (`OKButton`) runs `confirmed` and closes, "CANCEL" (`CancelButton`, the default button, so a
// stray Enter deletes nothing) only closes. Deleted when it closes. Main thread only.
class DeleteQuestionDialog : public QDialog {
    Q_OBJECT

  public:
    DeleteQuestionDialog(const char* objectName, const QString& caption,
                         const std::vector<std::string>& notes, std::function<void()> confirmed,
                         QWidget* parent);
};

// `frmDialog1`: deletes a spot once the operator confirms. The caption is "Delete " + its name
// + "?"; the rotations that use it, and today's breaks that play it, are named before DELETE
// hands the number to `deleteSpot`.
class SpotDeleteDialog : public DeleteQuestionDialog {
    Q_OBJECT

  public:
    SpotDeleteDialog(const SpotDeleteQuestion& question, std::function<void(int)> deleteSpot,
                     QWidget* parent);
};

// `frmDialog2`: deletes a music entry and its wave file once the operator confirms; the caption
// is "Delete " + its title.
class MusicDeleteDialog : public DeleteQuestionDialog {
    Q_OBJECT

  public:
    // Opens the question for `entry` of `catalogue`, window-modal over `parent`; DELETE deletes
    // the entry and, once it is deleted, calls `deleted`. Nothing opens (nullptr, the reason in
    // `errors`) when the entry cannot be read.
    static MusicDeleteDialog* ask(MusicCatalogue& catalogue, MusicFilesForm::Entry entry,
                                  ErrorReporter& errors, std::function<void()> deleted,
                                  QWidget* parent);

  private:
    MusicDeleteDialog(const std::string& question, std::function<void()> confirmed,
                      QWidget* parent);
};

// `frmDialog11`: deletes a source file of the import window's folder once the operator confirms.
// The caption is "Delete <full path> ?"; DELETE hands the path to `deleteFile` (which removes it
// and lists the folder again).
class SourceFileDeleteDialog : public DeleteQuestionDialog {
    Q_OBJECT

  public:
    using DeleteFile = std::function<void(const std::filesystem::path&)>;

    SourceFileDeleteDialog(std::filesystem::path path, DeleteFile deleteFile,
                           QWidget* parent = nullptr);
};

}  // namespace dvx
