#include "library/music_recording.h"

namespace dvx {

MusicRecording::MusicRecording(Context context)
    : m_context(context),
      m_session({context.clock, context.parameters, context.audio, context.view, *this,
                 context.errors}) {}

MusicRecording::~MusicRecording() = default;

std::filesystem::path MusicRecording::takePath(int number) const {
    return RecordingSession::takeFile(m_context.catalogue.wavePath(number, kNewFileDrive));
}

void MusicRecording::cmdRecord() {
    m_session.cmdRecord([this] { arm(); });
}

void MusicRecording::arm() {
    const int number = m_context.catalogue.nextFreeNumber();
    m_number = number;
    if (m_session.open(m_context.catalogue.wavePath(number, kNewFileDrive))) {
        m_context.view.showArmed(number);
    }
}

void MusicRecording::keep(const std::filesystem::path& take, std::int32_t length,
                          std::int32_t mark) {
    // Held while the number is checked and the entry written: an import on the command line
    // may be choosing a number in the same catalogue.
    const RecordFileLock lock = m_context.catalogue.lock();
    int number = m_number;
    if (isMusicTaken(m_context.catalogue.read(number))) {
        number = m_context.catalogue.nextFreeNumber();  // written meanwhile by another window
    }
    std::filesystem::rename(take, m_context.catalogue.wavePath(number, kNewFileDrive));
    MusicRecord record = m_context.catalogue.read(number);
    record.Status = kMusicActive;
    record.Title = newMusicTitle(number);
    record.Length = std::to_string(length);
    record.EOM = std::to_string(mark == 0 ? length : mark);
    record.Drive = kNewFileDrive;
    record.Comp = kFillAllowed;
    record.Recorded = recordedStamp(m_context.clock.now());
    m_context.catalogue.write(number, record);
    m_stored = number;
}

void MusicRecording::finished() {
    const int stored = m_stored;
    m_number = m_stored = 0;
    m_context.view.showIdle(stored);
}

}  // namespace dvx
