#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace dvx {

// One message of the list: what it said, under which caption, when it came last and how
// often it has come.
struct MessageEntry {
    std::string caption;  // "Error Message", "Reboot Computer"
    std::string text;
    std::string time;  // "HH:MM:SS" of its latest arrival
    int count = 1;

    // "09:00:05  Audio device lost: Virtual Feed", with " (Reboot Computer)" after a caption
    // other than "Error Message" and "  ×3" once it has come three times.
    std::string line() const;
};

// The messages of the run, newest first. A message that comes again (same caption and text)
// is counted and moves to the top with its new time instead of being listed twice; beyond
// kLimit entries the oldest go. Not thread-safe: the main thread's.
class MessageList {
  public:
    static constexpr std::size_t kLimit = 500;

    void add(std::string_view caption, std::string_view text, std::string time);

    const std::deque<MessageEntry>& entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }

  private:
    std::deque<MessageEntry> m_entries;
};

}  // namespace dvx
