#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "common/disk_sync.h"
#include "common/io_error.h"

namespace dvx {
namespace {

void writeAll(int fd, std::string_view data, const std::filesystem::path& path) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw IoError("Cannot write", path, errno);
        }
        data.remove_prefix(static_cast<std::size_t>(put));
    }
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

  private:
    int m_fd;
};

}  // namespace

void writeTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                    unsigned mode) {
    std::string content;
    for (const std::string& line : lines) {
        content += line;
        content += "\r\n";
    }
    std::filesystem::path temporary = path;
    temporary += ".new";
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                             static_cast<mode_t>(mode)));
    if (fd.get() < 0) {
        throw IoError("Cannot create", temporary, errno);
    }
    try {
        if (::fchmod(fd.get(), static_cast<mode_t>(mode)) != 0) {
            throw IoError("Cannot set the permissions of", temporary, errno);
        }
        writeAll(fd.get(), content, temporary);
        if (::fsync(fd.get()) != 0) {
            throw IoError("Cannot flush", temporary, errno);
        }
        if (::close(fd.release()) != 0) {
            throw IoError("Cannot close", temporary, errno);
        }
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            throw IoError("Cannot replace", path, errno);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

void appendTextLine(const std::filesystem::path& path, std::string_view line, DiskSync* sync) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        throw IoError("Cannot open", path, errno);
    }
    std::string content(line);
    content += "\r\n";
    struct stat before {};
    const bool sized = ::fstat(fd.get(), &before) == 0;
    try {
        // One write call: lines from one process never interleave.
        writeAll(fd.get(), content, path);
    } catch (const IoError&) {
        // A full disk may take part of the line: cut it off, so the next line starts on a line of
        // its own and the lines before stay as they were.
        struct stat after {};
        if (sized && ::fstat(fd.get(), &after) == 0 && after.st_size > before.st_size &&
            after.st_size < before.st_size + static_cast<off_t>(content.size())) {
            [[maybe_unused]] const int cut = ::ftruncate(fd.get(), before.st_size);
        }
        throw;
    }
    syncWritten(fd.get(), path, sync);
    if (::close(fd.release()) != 0) {
        throw IoError("Cannot close", path, errno);
    }
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        throw IoError("Cannot open", path, errno);
    }
    std::string content;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw IoError("Cannot read", path, errno);
        }
        if (got == 0) {
            break;
        }
        content.append(chunk, static_cast<std::size_t>(got));
    }
    return content;
}

bool ListInputReader::atEnd() const {
    return m_pos >= m_text.size();
}

std::optional<std::string> ListInputReader::next() {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    if (atEnd()) {
        return std::nullopt;
    }
    while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
        ++m_pos;
    }
    std::string value;
    if (m_pos < m_text.size() && m_text[m_pos] == '"') {
        const std::size_t close = m_text.find('"', m_pos + 1);
        const std::size_t end = close == std::string::npos ? m_text.size() : close;
        value = m_text.substr(m_pos + 1, end - m_pos - 1);
        m_pos = close == std::string::npos ? m_text.size() : close + 1;
        // Whatever follows the closing quote up to the separator is not part of the value.
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos])) {
            ++m_pos;
        }
    } else {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos])) {
            ++m_pos;
        }
        value = m_text.substr(start, m_pos - start);
        while (!value.empty() && isBlank(value.back())) {
            value.pop_back();
        }
    }
    // Consume the separator: a comma, or one line end (CR LF, CR or LF).
    if (m_pos < m_text.size()) {
        if (m_text[m_pos] == ',') {
            ++m_pos;
        } else if (m_text[m_pos] == '\r') {
            ++m_pos;
            if (m_pos < m_text.size() && m_text[m_pos] == '\n') {
                ++m_pos;
            }
        } else if (m_text[m_pos] == '\n') {
            ++m_pos;
        }
    }
    return value;
}

std::optional<short> parseListInteger16(std::string_view value) {
    std::size_t pos = value.find_first_not_of(" \t");
    if (pos == std::string_view::npos) {
        return std::nullopt;
    }
    value.remove_prefix(pos);
    if (!value.empty() && value.front() == '+') {
        value.remove_prefix(1);
    }
    short result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error != std::errc{}) {
        return std::nullopt;
    }
    (void)end;
    return result;
}

}  // namespace dvx
