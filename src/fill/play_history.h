#pragma once

#include <string>

#include "common/clock.h"
#include "common/record_file.h"

namespace dvx {

inline constexpr int kPlayHistoryRecordLength = 12;

// The stamp of a moment: two-digit year, month, day, hour (00..23), minute and second without
// separators (5 December 2026 14:07:09 -> "261205140709"), so that text order is time order.
std::string playStamp(const LocalDateTime& time);

// The play history of the music (MusHist): record m holds the stamp of the last time the fill
// played music file m. A file never played reads as zero bytes, which sorts before every
// stamp. Main thread only; throws IoError.
class PlayHistory {
  public:
    explicit PlayHistory(RecordFile& file) : m_file(file) {}

    // The 12 stored characters as they are.
    std::string stamp(int musicNumber) const;
    void markPlayed(int musicNumber, const LocalDateTime& time);

  private:
    RecordFile& m_file;
};

}  // namespace dvx
