#include "library/spot_recording.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "library/spot_dates.h"
#include "platform/audio_backend.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr int kGainLimitAbove = RecordingAudio::kUnityGain;
const std::string kNotKept = "The recording was not kept.";
const std::string kNotStarted = "The recording could not start.";
const std::string kInputStopped = "The sound input stopped during the recording.";

// A failure's description followed by what became of the recording.
std::string withOutcome(std::string description, const std::string& outcome) {
    if (!description.empty() && description.back() != '.') {
        description += '.';
    }
    return description + "  " + outcome;
}

std::int32_t wholeSeconds(double seconds) {
    return roundHalfEven(seconds);
}

std::string trimmed(std::string_view text) {
    std::string result = shownText(text);
    result.erase(result.find_last_not_of(' ') + 1);
    result.erase(0, result.find_first_not_of(' '));
    return result;
}

// A number typed into a box, as the window reads it: the leading number, rounded; 0 when none.
int typedNumber(std::string_view text) {
    const double value = numericValue(text);
    return value < 0 || value > 1e6 ? 0 : roundHalfEven(value);
}

}  // namespace

SpotRecording::SpotRecording(Context context)
    : m_clock(context.clock),
      m_parameters(context.parameters),
      m_catalogue(context.catalogue),
      m_log(context.log),
      m_audio(context.audio),
      m_view(context.view),
      m_errors(context.errors),
      m_autoStart(context.parameters.RecAutoStart != 0) {
    m_timer =
        m_clock.createTimer("recordingTimer", kTickMs, [this] { guarded([&] { onTick(); }); });
    m_audio.setBufferHandler([this](Peaks peaks) { guarded([&] { onBuffer(peaks); }); });
    m_audio.setGain(RecordingAudio::kUnityGain);
}

SpotRecording::~SpotRecording() {
    m_audio.setBufferHandler({});
    if (m_state == kIdle) {
        return;
    }
    try {
        m_audio.close();
    } catch (const std::exception&) {
        // The take is dropped anyway.
    }
    try {
        release();
    } catch (const std::exception&) {
        // The number stays reserved until "Delete File Index" frees it.
    }
}

template <typename Step>
void SpotRecording::guarded(Step&& step) {
    try {
        step();
    } catch (const std::exception& error) {
        if (m_state == kIdle) {
            m_errors.showError(error.what());
        } else {
            abandon(withOutcome(error.what(), kNotKept));
        }
    }
}

std::filesystem::path SpotRecording::takePath(int number) const {
    std::filesystem::path path = m_catalogue.wavePath(number);
    path += ".recording";
    return path;
}

void SpotRecording::setAutoStart(bool checked) {
    m_autoStart = checked;
    if (m_state == kReady) {
        m_audio.setSoundStart(checked ? m_parameters.Threshold : RecordingAudio::kNoSoundStart);
    }
}

void SpotRecording::setGain(int Slider) {
    m_audio.setGain(Slider);
}

int SpotRecording::gain() const {
    return m_audio.gain();
}

void SpotRecording::cmdRecord(std::string_view txtNumber) {
    guarded([&] {
        if (m_state >= kRecording) {
            m_state = kUnsupervised;  // recording goes on; the tick no longer supervises it
        } else if (m_state == kReady) {
            record();
        } else {
            arm(txtNumber);
        }
    });
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
    m_state = kReady;
    try {
        m_audio.open(
            {takePath(number), m_parameters.AudInDevice, m_parameters.RecMode == 1 ? 2 : 1});
    } catch (const std::exception& error) {
        abandon(withOutcome(error.what(), kNotStarted));
        return false;
    }
    m_audio.setSoundStart(m_autoStart ? m_parameters.Threshold : RecordingAudio::kNoSoundStart);
    m_view.showRecordButton("Ready", kRecordReady);
    m_view.showNumber(number);
    m_view.clearBoxes();
    m_timer->setEnabled(true);
    return true;
}

void SpotRecording::record() {
    m_state = kRecording;
    m_audio.startWriting();
    m_startTime = now();
    m_lastSoundTime = m_startTime;
    m_eomMark = 0;
    m_view.showRecordButton("Recording ", kRecordRecording);
    m_view.focusEom();
}

void SpotRecording::onBuffer(Peaks peaks) {
    m_peaks = peaks;
    const int threshold = m_parameters.Threshold;
    if (m_state == kReady && m_autoStart && WaveHelper::louderThan(peaks, threshold)) {
        record();
    } else if (m_state == kRecording && m_autoStart &&
               (std::abs(peaks.left) > threshold || std::abs(peaks.right) > threshold)) {
        // The mark follows the last moment of sound.
        m_lastSoundTime = now();
        m_eomMark = wholeSeconds(m_lastSoundTime - m_startTime);
    }
    m_view.showInputPeak(peaks.left);
    // Gain limit: a loud input turns the gain down (in int: a full-scale -32768 is 32768).
    const int left = std::abs(static_cast<int>(peaks.left));
    if (left > kGainLimitAbove) {
        m_audio.setGain(2 * kGainLimitAbove - left);
    }
}

void SpotRecording::onTick() {
    if (m_state == kIdle) {
        return;
    }
    if (m_audio.hasFailed()) {
        std::string message = kInputStopped;
        try {
            m_audio.close();
        } catch (const std::exception& error) {
            message = error.what();  // the disk's failure says more
        }
        abandon(withOutcome(message, kNotKept));
        return;
    }
    if (m_state != kRecording) {
        return;
    }
    const double time = now();
    if (!m_autoStart) {
        m_eomMark = wholeSeconds(time - m_startTime);
        m_lastSoundTime = time;
    }
    m_view.showElapsed(FormatSeconds(wholeSeconds(time - m_startTime)));
    const int threshold = m_parameters.Threshold;
    if (m_autoStart && std::abs(m_peaks.left) < threshold && std::abs(m_peaks.right) < threshold &&
        time - m_lastSoundTime >= m_parameters.RecStopDelay) {
        cmdStop();
    }
}

bool SpotRecording::cmdEOM() {
    if (m_state < kRecording) {
        return false;
    }
    m_eomMark = wholeSeconds(now() - m_startTime);
    m_view.showEomButton(kEomReached);
    return true;
}

void SpotRecording::cmdStop() {
    guarded([&] {
        m_view.showRecordButton("Record", kRecordIdle);
        if (m_state != kIdle) {
            const bool inputFailed = m_audio.hasFailed();
            m_audio.close();  // a failed write throws: the take is not kept
            if (inputFailed) {
                abandon(withOutcome(kInputStopped, kNotKept));
                return;
            }
            if (m_state >= kRecording) {
                store();
            } else {
                release();
            }
        }
        finish();
    });
}

void SpotRecording::store() {
    const int number = m_currentSpotNumber;
    const std::int32_t length =
        wholeSeconds(static_cast<double>(m_audio.framesWritten()) / kSampleRate);
    const std::int32_t mark = m_eomMark == 0 ? length : m_eomMark;
    m_view.showEomButton(kEomBefore);
    std::filesystem::rename(takePath(number), m_catalogue.wavePath(number));
    SpotRecord record = m_catalogue.read(number);
    record.Status = kSpotActive;
    if (!m_replaced) {
        record.Name = newSpotName(number);
    }
    record.Talent = "Dub";
    record.Outcue.clear();
    record.Length = std::to_string(length);
    record.EOM = std::to_string(roundHalfEven(mark + 0.5));
    record.StartDate = record.StopDate = record.RecordDate = spotDateText(m_clock.now());
    record.RotationRef = "None";
    record.SpotCat = ' ';
    m_catalogue.write(number, record);
    m_replaced.reset();
    m_log.setPending(recordLogStoredText(record.Name, number));
    m_view.recordingStored(number);
}

void SpotRecording::release() {
    const int number = m_currentSpotNumber;
    std::error_code ignored;
    std::filesystem::remove(takePath(number), ignored);
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

void SpotRecording::abandon(const std::string& message) {
    try {
        m_audio.close();
    } catch (const std::exception&) {
        // Already reported, or beside the point: the take goes.
    }
    std::string shown = message;
    try {
        release();
    } catch (const std::exception& error) {
        shown += std::string("  ") + error.what();
    }
    m_errors.showError(shown);
    m_view.showRecordButton("Record", kRecordIdle);
    finish();
}

void SpotRecording::refuse(std::string_view message) {
    m_errors.showError(message);
    m_state = kIdle;
    m_view.showArmed(false);
}

void SpotRecording::finish() {
    if (m_specificFileNumber == m_currentSpotNumber && m_state != kIdle) {
        m_specificFileNumber = 0;  // it was taken by this recording, not kept for an import
    }
    m_state = kIdle;
    m_timer->setEnabled(false);
    m_overwrite = false;
    m_view.setOverwriteChecked(false);
    m_view.showArmed(false);
}

void SpotRecording::windowClosing() {
    if (m_state != kIdle) {
        try {
            m_audio.close();
        } catch (const std::exception&) {
            // The take is dropped anyway.
        }
        try {
            release();
        } catch (const std::exception& error) {
            m_errors.showError(error.what());
        }
        m_state = kIdle;
        m_timer->setEnabled(false);
    }
    m_log.windowClosing();
}

SpecificFileAnswer SpotRecording::reserveSpecificFile(std::string_view txtFileNumber,
                                                      bool importWindowOpen) {
    const int number = typedNumber(txtFileNumber);
    if (number < 1 || number > kMaxSpotNumber) {
        return {};
    }
    SpecificFileAnswer answer;
    guarded([&] {
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
        if (m_state != kIdle) {
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
