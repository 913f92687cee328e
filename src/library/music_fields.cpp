#include "library/music_fields.h"

#include <algorithm>
#include <cctype>

#include "common/record_codec.h"
#include "common/time_text.h"
#include "library/catalogue_text.h"

namespace dvx {
namespace {

// The widths of the fields the boxes write, in the order of MusicBox.
constexpr std::size_t kFieldWidths[kMusicBoxCount] = {30, 25, 25, 4, 2, 5, 5, 3, 6, 1, 1, 10, 2, 1};

constexpr std::string_view kCategoryMessage =
    "A category is one letter A to Z or a to z, or two letters that start with A to Y or a to y.";
constexpr std::string_view kClassMessage = "The class is one letter, A to Z.";

std::string full(const std::string& stored, std::size_t width) {
    std::string text = shownText(stored);
    text.resize(width, ' ');
    return text;
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The category box's rule: the whole text compared with "A".."Z" and "a".."z" by character
// code, and letters only.
bool isCategoryText(std::string_view text) {
    const bool inRange = (text >= "A" && text <= "Z") || (text >= "a" && text <= "z");
    return inRange && std::all_of(text.begin(), text.end(), isLetter);
}

}  // namespace

std::string tuneListText(const MusicRecord& record, TuneView view) {
    const std::string length = FormatSeconds(wholeSecondsValue(record.Length));
    const std::string title = full(record.Title, 30);
    const std::string artist = full(record.Artist, 25);
    const std::string intro = full(record.Intro, 3);
    switch (view) {
        case TuneView::Artist:
            return artist + title + length + "  " + intro;
        case TuneView::Length:
            return length + "  " + title + artist + intro;
        case TuneView::Title:
            break;
    }
    return title + artist + length + "  " + intro;
}

std::string musicBoxText(const MusicRecord& record, MusicBox box) {
    const auto trimmed = [](const std::string& text) { return trimBlanks(shownText(text)); };
    const auto letter = [&](char c) { return trimmed(std::string(1, c)); };
    switch (box) {
        case MusicBox::Title:
            return trimmed(record.Title);
        case MusicBox::Artist:
            return trimmed(record.Artist);
        case MusicBox::Album:
            return trimmed(record.Album);
        case MusicBox::Number:
            return trimmed(record.Number);
        case MusicBox::Cut:
            return trimmed(record.Cut);
        case MusicBox::Length:
            return FormatSeconds(wholeSecondsValue(record.Length));
        case MusicBox::EOM:
            return FormatSeconds(wholeSecondsValue(record.EOM));
        case MusicBox::Intro:
            return trimmed(record.Intro);
        case MusicBox::License:
            return trimmed(record.License);
        case MusicBox::Comp:
            return letter(record.Comp);
        case MusicBox::Drive:
            return letter(record.Drive);
        case MusicBox::StyleTempo:
            return trimmed(record.StyleTempo);
        case MusicBox::Category:
            return trimmed(record.Category);
        case MusicBox::Class:
            return letter(record.Class);
    }
    return {};
}

MusicEdit musicEdit(MusicBox box, std::string_view text) {
    using Outcome = MusicEdit::Outcome;
    std::string value(text);
    switch (box) {
        case MusicBox::Length:
        case MusicBox::EOM:
            return {Outcome::Wait, {}};
        case MusicBox::Category:
            if (!value.empty() && !isCategoryText(value)) {
                return {Outcome::Refuse, std::string(kCategoryMessage)};
            }
            break;
        case MusicBox::Class:
            if (!value.empty() && !(value.size() == 1 && isLetter(value[0]))) {
                return {Outcome::Refuse, std::string(kClassMessage)};
            }
            if (!value.empty()) {
                value[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
            }
            break;
        default:
            break;
    }
    value.resize(std::min(value.size(), kFieldWidths[static_cast<std::size_t>(box)]));
    return {Outcome::Store, value};
}

MusicEdit musicTimeEntered(std::string_view text) {
    if (const auto seconds = ParseMinSec(text)) {
        return {MusicEdit::Outcome::Store, std::to_string(*seconds)};
    }
    return {MusicEdit::Outcome::Refuse,
            "\"" + std::string(text) + "\" is not a time: type minutes and seconds, as 03:25."};
}

void setMusicField(MusicRecord& record, MusicBox box, const std::string& value) {
    const char letter = value.empty() ? ' ' : value[0];
    switch (box) {
        case MusicBox::Title:
            record.Title = value;
            break;
        case MusicBox::Artist:
            record.Artist = value;
            break;
        case MusicBox::Album:
            record.Album = value;
            break;
        case MusicBox::Number:
            record.Number = value;
            break;
        case MusicBox::Cut:
            record.Cut = value;
            break;
        case MusicBox::Length:
            record.Length = value;
            break;
        case MusicBox::EOM:
            record.EOM = value;
            break;
        case MusicBox::Intro:
            record.Intro = value;
            break;
        case MusicBox::License:
            record.License = value;
            break;
        case MusicBox::Comp:
            record.Comp = letter;
            break;
        case MusicBox::Drive:
            record.Drive = letter;
            break;
        case MusicBox::StyleTempo:
            record.StyleTempo = value;
            break;
        case MusicBox::Category:
            record.Category = value;
            break;
        case MusicBox::Class:
            record.Class = letter;
            break;
    }
}

}  // namespace dvx
