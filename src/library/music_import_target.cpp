#include "library/music_import_target.h"

#include "library/music_catalogue.h"
#include "library/music_files_form.h"

namespace dvx {

char MusicImportTarget::newFileDrive() const {
    return kNewFileDrive;
}

void MusicImportTarget::imported(int number) {
    m_imported = true;
    m_form.reloadAndSelect(number);
}

void MusicImportTarget::importWindowClosed() {
    if (!m_imported) {
        m_form.newEntryDropped();
    }
    m_imported = false;
}

}  // namespace dvx
