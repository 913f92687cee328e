#include "library/music_fields.h"

#include <algorithm>
#include <cctype>

#include "common/record_codec.h"
#include "common/time_text.h"
#include "library/catalogue_text.h"

namespace dvx {
namespace {

// The field each box shows and writes, in the order of MusicBox: a text of its width, or one
// character.
struct Field {
    std::string MusicRecord::*text;
    char MusicRecord::*letter;
    std::size_t width;
};
constexpr Field kFields[kMusicBoxCount] = {
    {&MusicRecord::Title, nullptr, 30},   {&MusicRecord::Artist, nullptr, 25},
    {&MusicRecord::Album, nullptr, 25},   {&MusicRecord::Number, nullptr, 4},
    {&MusicRecord::Cut, nullptr, 2},      {&MusicRecord::Length, nullptr, 5},
    {&MusicRecord::EOM, nullptr, 5},      {&MusicRecord::Intro, nullptr, 3},
    {&MusicRecord::License, nullptr, 6},  {nullptr, &MusicRecord::Comp, 1},
    {nullptr, &MusicRecord::Drive, 1},    {&MusicRecord::StyleTempo, nullptr, 10},
    {&MusicRecord::Category, nullptr, 2}, {nullptr, &MusicRecord::Class, 1},
};

const Field& fieldOf(MusicBox box) {
    return kFields[static_cast<std::size_t>(box)];
}

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
    const Field& field = fieldOf(box);
    if (box == MusicBox::Length || box == MusicBox::EOM) {
        return FormatSeconds(wholeSecondsValue(record.*field.text));
    }
    const std::string stored =
        field.text != nullptr ? record.*field.text : std::string(1, record.*field.letter);
    return trimBlanks(shownText(stored));
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
    value.resize(std::min(value.size(), fieldOf(box).width));
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
    const Field& field = fieldOf(box);
    if (field.text != nullptr) {
        record.*field.text = value;
    } else {
        record.*field.letter = value.empty() ? ' ' : value[0];
    }
}

}  // namespace dvx
