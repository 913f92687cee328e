#include "library/spot_import_target.h"

#include "library/record_log.h"
#include "library/spot_files_form.h"
#include "library/spot_recording.h"

namespace dvx {

int SpotImportTarget::specificFileNumber() const {
    const int number = m_recording.specificFileNumber();
    // A number reserved while no import window was open is the armed recording's own.
    const bool recordings = m_recording.isActive() && m_recording.currentSpotNumber() == number;
    return recordings ? 0 : number;
}

SpecificFileAnswer SpotImportTarget::reserveSpecificFile(std::string_view txtFileNumber) {
    const int earlier = specificFileNumber();
    SpecificFileAnswer answer = m_recording.reserveSpecificFile(txtFileNumber, true);
    // The number reserved before, never used, goes back once a new one takes its place.
    if (answer.outcome == SpecificFileAnswer::Outcome::Reserved && earlier != 0) {
        release(earlier);
    }
    return answer;
}

void SpotImportTarget::deleteSpecificFile(std::string_view txtFileNumber) {
    if (m_deleteTyped) {
        m_deleteTyped(txtFileNumber);
    }
}

void SpotImportTarget::importWindowOpened() {
    m_form.prepareForImport();
    m_log.writeIfReady();
}

void SpotImportTarget::importStarted(int number) {
    m_form.view().showNumberLabel(std::to_string(number));
}

void SpotImportTarget::imported(int number) {
    if (specificFileNumber() == number) {
        m_recording.takeSpecificFileNumber();
    }
    m_form.reloadAndSelect(number);
}

void SpotImportTarget::importWindowClosed() {
    if (const int number = specificFileNumber(); number != 0) {
        m_recording.takeSpecificFileNumber();
        release(number);
    }
}

void SpotImportTarget::release(int number) {
    SpotCatalogue& catalogue = m_form.catalogue();
    const RecordFileLock lock = catalogue.lock();
    SpotRecord record = catalogue.read(number);
    if (record.Status == kSpotReserved) {
        record.Status = kSpotFree;
        catalogue.write(number, record);
    }
}

}  // namespace dvx
