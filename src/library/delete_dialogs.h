#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>

namespace dvx {

// `frmDialog11`: deletes a source file of the import window's folder once the operator confirms.
// The question is the caption, "Delete <full path> ?"; "DELETE" (`OKButton`) hands the path to
// `deleteFile` (which removes it and lists the folder again) and closes, "CANCEL"
// (`CancelButton`) only closes. Deleted when it closes. Main thread only.
class SourceFileDeleteDialog : public QDialog {
    Q_OBJECT

  public:
    using DeleteFile = std::function<void(const std::filesystem::path&)>;

    SourceFileDeleteDialog(std::filesystem::path path, DeleteFile deleteFile,
                           QWidget* parent = nullptr);
};

}  // namespace dvx
