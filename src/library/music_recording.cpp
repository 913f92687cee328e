#include "library/music_recording.h"

#include "settings/parameters.h"

namespace dvx {
namespace {

// `NewFileDrive`: new recordings are written to drive c.
constexpr char kNewFileDrive = 'C';

}  // namespace

MusicRecording::MusicRecording(Context context)
    : m_clock(context.clock),
      m_parameters(context.parameters),
      m_catalogue(context.catalogue),
      m_view(context.view),
      m_session({context.clock, context.parameters, context.audio, context.view, *this,
                 context.errors}) {}

MusicRecording::~MusicRecording() = default;

std::filesystem::path MusicRecording::takePath(int number) const {
    std::filesystem::path path = m_catalogue.wavePath(number, kNewFileDrive);
    path += ".recording";
    return path;
}

void MusicRecording::cmdRecord() {
    m_session.cmdRecord([this] { arm(); });
}

void MusicRecording::arm() {
    const int number = m_catalogue.nextFreeNumber();
    m_number = number;
    if (m_session.open(
            {takePath(number), m_parameters.AudInDevice, m_parameters.RecMode == 1 ? 2 : 1})) {
        m_view.showArmed(number);
    }
}

void MusicRecording::keep(const std::filesystem::path& take, std::int32_t length,
                          std::int32_t mark) {
    int number = m_number;
    if (isMusicTaken(m_catalogue.read(number))) {
        number = m_catalogue.nextFreeNumber();  // written meanwhile by another window
    }
    std::filesystem::rename(take, m_catalogue.wavePath(number, kNewFileDrive));
    MusicRecord record = m_catalogue.read(number);
    record.Status = kMusicActive;
    record.Title = newMusicTitle(number);
    record.Length = std::to_string(length);
    record.EOM = std::to_string(mark == 0 ? length : mark);
    record.Drive = kNewFileDrive;
    record.Comp = kFillAllowed;
    record.Recorded = recordedStamp(m_clock.now());
    m_catalogue.write(number, record);
    m_stored = number;
}

void MusicRecording::finished() {
    const int stored = m_stored;
    m_number = m_stored = 0;
    m_view.showIdle(stored);
}

}  // namespace dvx
