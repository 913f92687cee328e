#include "library/recording_session.h"

#include <cstdlib>
#include <system_error>

#include "common/time_text.h"
#include "platform/audio_backend.h"
#include "settings/parameters.h"
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

}  // namespace

RecordingSession::RecordingSession(Context context)
    : m_context(context), m_autoStart(context.parameters.RecAutoStart != 0) {
    m_timer = m_context.clock.createTimer("recordingTimer", kTickMs,
                                          [this] { guarded([&] { onTick(); }); });
    m_context.audio.setBufferHandler([this](Peaks peaks) { guarded([&] { onBuffer(peaks); }); });
    m_context.audio.setGain(RecordingAudio::kUnityGain);
}

RecordingSession::~RecordingSession() {
    m_context.audio.setBufferHandler({});
    if (m_state == kIdle) {
        return;
    }
    try {
        dropTake();
    } catch (const std::exception&) {
        // The number stays as the keeper left it.
    }
}

void RecordingSession::failed(const std::exception& error) {
    if (m_state == kIdle) {
        m_context.errors.showError(error.what());
    } else {
        abandon(withOutcome(error.what(), kNotKept));
    }
}

void RecordingSession::setAutoStart(bool checked) {
    m_autoStart = checked;
    if (m_state == kReady) {
        m_context.audio.setSoundStart(checked ? m_context.parameters.Threshold
                                              : RecordingAudio::kNoSoundStart);
    }
}

void RecordingSession::setGain(int volume) {
    m_context.audio.setGain(volume);
}

int RecordingSession::gain() const {
    return m_context.audio.gain();
}

std::filesystem::path RecordingSession::takeFile(const std::filesystem::path& wave) {
    std::filesystem::path take = wave;
    take += ".recording";
    return take;
}

bool RecordingSession::open(const std::filesystem::path& wave) {
    m_state = kReady;
    m_take = takeFile(wave);
    const Parameters& parameters = m_context.parameters;
    try {
        m_context.audio.open({m_take, parameters.AudInDevice, parameters.RecMode == 1 ? 2 : 1});
    } catch (const std::exception& error) {
        abandon(withOutcome(error.what(), kNotStarted));
        return false;
    }
    m_context.audio.setSoundStart(m_autoStart ? m_context.parameters.Threshold
                                              : RecordingAudio::kNoSoundStart);
    m_context.view.showRecordButton("Ready", kRecordReady);
    m_timer->setEnabled(true);
    return true;
}

void RecordingSession::record() {
    m_state = kRecording;
    m_context.audio.startWriting();
    m_startTime = now();
    m_lastSoundTime = m_startTime;
    m_eomMark = 0;
    m_context.view.showRecordButton("Recording ", kRecordRecording);
    m_context.view.recordingBegan();
}

void RecordingSession::onBuffer(Peaks peaks) {
    m_peaks = peaks;
    const int threshold = m_context.parameters.Threshold;
    if (m_state == kReady && m_autoStart && WaveHelper::louderThan(peaks, threshold)) {
        record();
    } else if (m_state == kRecording && m_autoStart &&
               (std::abs(peaks.left) > threshold || std::abs(peaks.right) > threshold)) {
        // The mark follows the last moment of sound.
        m_lastSoundTime = now();
        m_eomMark = wholeSeconds(m_lastSoundTime - m_startTime);
    }
    m_context.view.showInputPeak(peaks.left);
    // Gain limit: a loud input turns the gain down (in int: a full-scale -32768 is 32768).
    const int left = std::abs(static_cast<int>(peaks.left));
    if (left > kGainLimitAbove) {
        m_context.audio.setGain(2 * kGainLimitAbove - left);
    }
}

void RecordingSession::onTick() {
    if (m_state == kIdle) {
        return;
    }
    if (m_context.audio.hasFailed()) {
        std::string message = kInputStopped;
        try {
            m_context.audio.close();
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
    m_context.view.showElapsed(FormatSeconds(wholeSeconds(time - m_startTime)));
    const int threshold = m_context.parameters.Threshold;
    if (m_autoStart && std::abs(m_peaks.left) < threshold && std::abs(m_peaks.right) < threshold &&
        time - m_lastSoundTime >= m_context.parameters.RecStopDelay) {
        cmdStop();
    }
}

bool RecordingSession::cmdEOM() {
    if (m_state < kRecording) {
        return false;
    }
    m_eomMark = wholeSeconds(now() - m_startTime);
    m_context.view.showEomButton(kEomReached);
    return true;
}

void RecordingSession::cmdStop() {
    guarded([&] {
        m_context.view.showRecordButton("Record", kRecordIdle);
        if (m_state != kIdle) {
            const bool inputFailed = m_context.audio.hasFailed();
            m_context.audio.close();  // a failed write throws: the take is not kept
            if (inputFailed) {
                abandon(withOutcome(kInputStopped, kNotKept));
                return;
            }
            if (m_state >= kRecording) {
                const std::int32_t length = wholeSeconds(
                    static_cast<double>(m_context.audio.framesWritten()) / kSampleRate);
                m_context.view.showEomButton(kEomBefore);
                m_context.keeper.keep(m_take, length, m_eomMark);
            } else {
                dropTake();
            }
        }
        finish();
    });
}

void RecordingSession::dropTake() {
    try {
        m_context.audio.close();
    } catch (const std::exception&) {
        // Already reported, or beside the point: the take goes.
    }
    std::error_code ignored;
    std::filesystem::remove(m_take, ignored);
    m_context.keeper.drop();
}

void RecordingSession::abandon(const std::string& message) {
    std::string shown = message;
    try {
        dropTake();
    } catch (const std::exception& error) {
        shown += std::string("  ") + error.what();
    }
    m_context.errors.showError(shown);
    m_context.view.showRecordButton("Record", kRecordIdle);
    finish();
}

void RecordingSession::finish() {
    m_context.keeper.finished();
    m_state = kIdle;
    m_timer->setEnabled(false);
}

void RecordingSession::windowClosing() {
    if (m_state == kIdle) {
        return;
    }
    try {
        dropTake();
    } catch (const std::exception& error) {
        m_context.errors.showError(error.what());
    }
    m_state = kIdle;
    m_timer->setEnabled(false);
}

}  // namespace dvx
