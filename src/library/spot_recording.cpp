#include "library/spot_recording.h"

#include <cstdio>
#include <system_error>

#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "library/spot_dates.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

std::string trimmed(std::string_view text) {
    std::string result = shownText(text);
    result.erase(result.find_last_not_of(' ') + 1);
    result.erase(0, result.find_first_not_of(' '));
    return result;
}

}  // namespace

SpotRecording::SpotRecording(Context context)
    : m_clock(context.clock),
      m_catalogue(context.catalogue),
      m_log(context.log),
      m_view(context.view),
      m_errors(context.errors),
      m_session({context.clock, context.parameters, context.audio, context.view, *this,
                 context.errors}) {}

SpotRecording::~SpotRecording() = default;

std::filesystem::path SpotRecording::takePath(int number) const {
    return RecordingSession::takeFile(m_catalogue.wavePath(number));
}

void SpotRecording::cmdRecord(std::string_view txtNumber) {
    m_session.cmdRecord([&] { arm(txtNumber); });
}

void SpotRecording::arm(std::string_view txtNumber) {
    m_view.showArmed(true);
    // Held until the reservation is written: an import on the command line may be choosing a
    // number in the same catalogue.
    std::optional<RecordFileLock> lock(m_catalogue.lock());
    int number = 0;
    if (m_overwrite) {
        number = typedNumber(txtNumber);
        const char status =
            number >= 1 && number <= kMaxSpotNumber ? m_catalogue.read(number).Status : kSpotFree;
        if (status != kSpotActive) {
            refuse(status == kSpotReserved ? kRecordedElsewhereMessage
                                           : kOverwriteNeedsSpotMessage);
            return;
        }
    }
    m_log.writeIfReady();
    if (!m_overwrite) {
        const std::optional<int> free = m_catalogue.nextFreeNumber();
        if (!free) {
            refuse(kMaxSoundFilesMessage);
            return;
        }
        number = *free;
    }
    m_view.showNumberBox(number);
    SpotRecord record = m_catalogue.read(number);
    if (m_overwrite) {
        m_replaced = record;
    } else {
        // An old file of a free number is nobody's: the new recording takes its place.
        std::error_code ignored;
        std::filesystem::remove(m_catalogue.wavePath(number), ignored);
    }
    m_currentSpotNumber = number;
    record.Status = kSpotReserved;
    m_catalogue.write(number, record);
    lock.reset();
    startInput(number);
}

bool SpotRecording::startInput(int number) {
    m_currentSpotNumber = number;
    if (!m_session.open(m_catalogue.wavePath(number))) {
        return false;
    }
    m_view.showNumber(number);
    m_view.clearBoxes();
    return true;
}

void SpotRecording::keep(const std::filesystem::path& take, std::int32_t length,
                         std::int32_t mark) {
    const int number = m_currentSpotNumber;
    std::filesystem::rename(take, m_catalogue.wavePath(number));
    SpotRecord record = m_catalogue.read(number);
    record.Status = kSpotActive;
    if (!m_replaced) {
        record.Name = newSpotName(number);
    }
    record.Talent = "Dub";
    record.Outcue.clear();
    record.Length = std::to_string(length);
    record.EOM = std::to_string(roundHalfEven((mark == 0 ? length : mark) + 0.5));
    record.StartDate = record.StopDate = record.RecordDate = spotDateText(m_clock.now());
    record.RotationRef = "None";
    record.SpotCat = ' ';
    m_catalogue.write(number, record);
    m_replaced.reset();
    m_log.setPending(recordLogStoredText(record.Name, number));
    m_view.recordingStored(number);
}

void SpotRecording::drop() {
    const int number = m_currentSpotNumber;
    if (m_replaced) {
        const SpotRecord old = *m_replaced;
        m_replaced.reset();
        m_catalogue.write(number, old);
    } else {
        SpotRecord record = m_catalogue.read(number);
        record.Status = kSpotFree;
        m_catalogue.write(number, record);
    }
}

void SpotRecording::refuse(std::string_view message) {
    m_errors.showError(message);
    m_view.showArmed(false);
}

void SpotRecording::finished() {
    if (m_specificFileNumber == m_currentSpotNumber && m_session.isActive()) {
        m_specificFileNumber = 0;  // it was taken by this recording, not kept for an import
    }
    m_overwrite = false;
    m_view.setOverwriteChecked(false);
    m_view.showArmed(false);
}

void SpotRecording::windowClosing() {
    m_session.windowClosing();
    m_log.windowClosing();
}

SpecificFileAnswer SpotRecording::reserveSpecificFile(std::string_view txtFileNumber,
                                                      bool importWindowOpen) {
    const int number = typedNumber(txtFileNumber);
    if (number < 1 || number > kMaxSpotNumber) {
        return {};
    }
    SpecificFileAnswer answer;
    m_session.guarded([&] {
        const RecordFileLock lock = m_catalogue.lock();
        SpotRecord record = m_catalogue.read(number);
        if (isSpotTaken(record)) {
            answer = {SpecificFileAnswer::Outcome::Taken, trimmed(record.Name) + " Exists.",
                      std::string(record.Status == kSpotReserved ? kRecordedElsewhereMessage
                                                                 : kDeleteFirstMessage)};
            return;
        }
        m_log.writeIfReady();
        record.Status = kSpotReserved;
        m_catalogue.write(number, record);
        std::error_code ignored;
        std::filesystem::remove(m_catalogue.wavePath(number), ignored);
        answer.outcome = SpecificFileAnswer::Outcome::Reserved;
        m_specificFileNumber = number;
        if (m_session.isActive()) {
            return;  // a recording is under way: the number waits for the import
        }
        m_currentSpotNumber = number;
        m_view.showNumber(number);
        if (!importWindowOpen) {
            startInput(number);
        }
    });
    return answer;
}

int SpotRecording::takeSpecificFileNumber() {
    const int number = m_specificFileNumber;
    m_specificFileNumber = 0;
    return number;
}

}  // namespace dvx
