#include "library/record_log.h"

#include <cmath>
#include <cstdio>

#include "common/io_error.h"
#include "common/text_file.h"
#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

std::string nameAndNumber(std::string_view Name, int number) {
    std::string text = shownText(Name);
    text.resize(25, ' ');
    char numberText[16];
    std::snprintf(numberText, sizeof numberText, "%3d", number);
    return text + "  " + numberText + " ";
}

}  // namespace

std::string recordLogStoredText(std::string_view Name, int number) {
    return nameAndNumber(Name, number) + std::string(8, ' ');
}

std::string recordLogDeletedText(std::string_view Name, int number) {
    return nameAndNumber(Name, number) + " Deleted";
}

RecordLog::RecordLog(const Paths& paths, const Clock& clock, ErrorReporter& errors, DiskSync* sync)
    : m_paths(paths), m_clock(clock), m_errors(errors), m_sync(sync) {}

RecordLog::~RecordLog() {
    writePending();
}

std::filesystem::path RecordLog::file() const {
    return m_paths.resolve(std::string(Paths::kDriveLetter) + ":\\Dorvex\\Logs\\record.log");
}

bool RecordLog::append(std::string_view text) {
    const LocalDateTime now = m_clock.now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, " %02d/%02d/%02d ", now.month, now.day, now.year % 100);
    const std::string line =
        std::string(text) + stamp +
        formatTimeOfDay(static_cast<std::int32_t>(std::floor(now.secondsOfDay)));
    try {
        appendTextLine(file(), line, m_sync);
        return true;
    } catch (const IoError& error) {
        m_errors.showError(error.what());
        return false;
    }
}

void RecordLog::write(std::string_view text) {
    append(text);
}

void RecordLog::writePending() {
    if (m_state != kNothingPending && append(m_pendingText)) {
        m_state = kNothingPending;
        m_pendingText.clear();
    }
}

void RecordLog::setPending(std::string text) {
    writePending();
    m_pendingText = std::move(text);
    m_state = kPending;
}

void RecordLog::entrySelected() {
    if (m_state == kWriteAtNextTrigger) {
        writePending();
    } else if (m_state == kPending) {
        m_state = kWriteAtNextTrigger;
    }
}

void RecordLog::writeIfReady() {
    if (m_state == kWriteAtNextTrigger) {
        writePending();
    }
}

void RecordLog::fieldEdited(std::string_view Name, int number) {
    if (m_state == kWriteAtNextTrigger) {
        m_pendingText = recordLogStoredText(Name, number);
    }
}

void RecordLog::windowClosing() {
    writePending();
}

}  // namespace dvx
