#include "fill/play_history.h"

#include <cmath>

#include "common/record_codec.h"
#include "library/catalogue_text.h"
#include "library/music_catalogue.h"

namespace dvx {

std::string playStamp(const LocalDateTime& time) {
    const int seconds = static_cast<int>(std::floor(time.secondsOfDay));
    return recordedStamp(time) + zeroPadded(seconds / 3600, 2) + zeroPadded(seconds / 60 % 60, 2) +
           zeroPadded(seconds % 60, 2);
}

std::string PlayHistory::stamp(int musicNumber) const {
    const Bytes bytes = m_file.read(musicNumber);
    return std::string(bytes.begin(), bytes.end());
}

void PlayHistory::markPlayed(int musicNumber, const LocalDateTime& time) {
    RecordWriter writer;
    writer.text(playStamp(time), kPlayHistoryRecordLength);
    m_file.write(musicNumber, writer.bytes());
}

}  // namespace dvx
