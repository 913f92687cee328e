#include "viewers/message_list.h"

#include <algorithm>

namespace dvx {
namespace {

constexpr std::string_view kPlainCaption = "Error Message";

}  // namespace

std::string MessageEntry::line() const {
    std::string shown = time + "  " + text;
    if (!caption.empty() && caption != kPlainCaption) {
        shown += " (" + caption + ")";
    }
    if (count > 1) {
        shown += "  \u00d7" + std::to_string(count);
    }
    return shown;
}

void MessageList::add(std::string_view caption, std::string_view text, std::string time) {
    MessageEntry entry{std::string(caption), std::string(text), std::move(time)};
    const auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const MessageEntry& e) {
        return e.caption == caption && e.text == text;
    });
    if (same != m_entries.end()) {
        entry.count = same->count + 1;
        m_entries.erase(same);
    }
    m_entries.push_front(std::move(entry));
    if (m_entries.size() > kLimit) {
        m_entries.pop_back();
    }
}

}  // namespace dvx
