#include "viewers/log_viewer.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <system_error>

#include "common/io_error.h"
#include "common/text_file.h"

namespace dvx {
namespace {

constexpr std::string_view kLogExtension = ".log";
constexpr std::size_t kDateDigits = 6;  // YYMMDD

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// The "YYMMDD" of a file name prefix + "YYMMDD" + ".log"; nothing for any other name, so stray
// files of the folder ("ALnotes.txt", "AL0512.log") never turn into day lines.
std::optional<std::string> dateDigitsOf(std::string_view fileName, std::string_view prefix) {
    if (fileName.size() != prefix.size() + kDateDigits + kLogExtension.size() ||
        !fileName.starts_with(prefix) || !fileName.ends_with(kLogExtension)) {
        return std::nullopt;
    }
    const std::string_view digits = fileName.substr(prefix.size(), kDateDigits);
    if (!allDigits(digits)) {
        return std::nullopt;
    }
    return std::string(digits);
}

// A sorted list box orders its entries by text without regard to case.
bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::vector<std::string> splitLines(std::string_view content) {
    std::vector<std::string> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
    }
    return lines;
}

// A log line is "HH:MM:SS event"; grouped by event it reads "event HH:MM:SS".
std::string eventFirst(std::string_view line) {
    const std::string_view event = line.size() > 9 ? line.substr(9) : std::string_view{};
    std::string result(event);
    result += ' ';
    result += line.substr(0, 8);
    return result;
}

}  // namespace

std::vector<std::string> listLogDays(const std::filesystem::path& folder, std::string_view prefix) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return {std::string(kNoLogs)};
    }
    std::vector<std::string> dates;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored)) {
            continue;
        }
        if (auto digits = dateDigitsOf(it->path().filename().string(), prefix)) {
            dates.push_back(std::move(*digits));
        }
    }
    if (error) {
        throw IoError("Cannot list the logs in", folder, error.value());
    }
    if (dates.empty()) {
        return {std::string(kNoLogs)};
    }
    std::sort(dates.begin(), dates.end(), std::greater<>());
    std::vector<std::string> days;
    days.reserve(dates.size());
    for (const std::string& yymmdd : dates) {
        days.push_back(yymmdd.substr(2, 2) + "/" + yymmdd.substr(4, 2) + "/" + yymmdd.substr(0, 2));
    }
    return days;
}

std::optional<std::filesystem::path> logDayPath(const std::filesystem::path& folder,
                                                std::string_view prefix, std::string_view dayLine) {
    if (dayLine.size() != 8 || dayLine[2] != '/' || dayLine[5] != '/') {
        return std::nullopt;
    }
    const std::string mm(dayLine.substr(0, 2));
    const std::string dd(dayLine.substr(3, 2));
    const std::string yy(dayLine.substr(6, 2));
    const std::string yymmdd = yy + mm + dd;
    if (!allDigits(yymmdd)) {
        return std::nullopt;
    }
    return folder / (std::string(prefix) + yymmdd + std::string(kLogExtension));
}

std::vector<std::string> readLogDay(const std::filesystem::path& folder, std::string_view prefix,
                                    std::string_view dayLine, LogOrder order) {
    std::optional<std::string> content;
    if (const auto path = logDayPath(folder, prefix, dayLine)) {
        content = readWholeFile(*path);
    }
    if (!content || content->empty()) {
        return {"Log for " + std::string(dayLine) + " does not exist."};
    }
    std::vector<std::string> lines = splitLines(*content);
    if (order == LogOrder::ByEvent) {
        std::transform(lines.begin(), lines.end(), lines.begin(), eventFirst);
        // Stable, so the lines of one event keep the order they were written in.
        std::stable_sort(lines.begin(), lines.end(), lessIgnoringCase);
    }
    return lines;
}

LogViewer::LogViewer(std::filesystem::path folder, std::string prefix)
    : m_folder(std::move(folder)), m_prefix(std::move(prefix)) {}

void LogViewer::load() {
    m_caption = "Load Logs";
    m_showingLines = false;
    m_lines.clear();
    m_days = {std::string(kNoLogs)};
    m_days = listLogDays(m_folder, m_prefix);
}

void LogViewer::ok(std::string_view dayLine, LogOrder order) {
    if (dayLine == kNoLogs) {
        return;
    }
    if (m_showingLines) {
        m_lines.clear();
        m_showingLines = false;
        m_caption = "Select Log";
        return;
    }
    m_lines = readLogDay(m_folder, m_prefix, dayLine, order);
    m_showingLines = true;
}

}  // namespace dvx
