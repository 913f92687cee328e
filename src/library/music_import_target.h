#pragma once

#include "library/import_target.h"

namespace dvx {

class MusicFilesForm;

// The music files window's side of an import: new entries go to drive c, the imported tune is
// listed and selected in the music files window, and the new entry that window announced is
// dropped again when the import window closes without an import. Main thread only; the form
// must outlive it.
class MusicImportTarget : public ImportTarget {
  public:
    explicit MusicImportTarget(MusicFilesForm& form) : m_form(form) {}

    bool forSpots() const override { return false; }
    char newFileDrive() const override;
    void imported(int number) override;
    void importWindowClosed() override;

  private:
    MusicFilesForm& m_form;
    bool m_imported = false;
};

}  // namespace dvx
