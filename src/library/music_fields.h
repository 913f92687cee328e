#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "library/music_catalogue.h"

namespace dvx {

// The edit boxes of the music files window, in the order of its focus chain.
enum class MusicBox {
    Title,
    Artist,
    Album,
    Number,
    Cut,
    Length,
    EOM,
    Intro,
    License,
    Comp,
    Drive,
    StyleTempo,
    Category,
    Class
};
inline constexpr std::size_t kMusicBoxCount = 14;

// The list's three layouts; the list is sorted, so the layout decides the order.
enum class TuneView { Title = 1, Artist = 2, Length = 3 };

// The line of an active tune: the length in the clock form, the texts at their full widths.
// Title: title (30), artist (25), length, two blanks, intro (3). Artist: artist, title,
// length, two blanks, intro. Length: length, two blanks, title, artist, intro.
std::string tuneListText(const MusicRecord& record, TuneView view);

// What a box shows of its field: the text without surrounding blanks, Length and EOM in the
// clock form.
std::string musicBoxText(const MusicRecord& record, MusicBox box);

// What a user's edit of a box stores.
struct MusicEdit {
    enum class Outcome {
        Store,   // `value` goes into the field (cut to its width)
        Wait,    // Length and EOM: stored only on Enter
        Refuse,  // `value` is the message; the field stays as it is
    };
    Outcome outcome = Outcome::Wait;
    std::string value;
};

// Every box stores what is typed, cut to its field; Length and EOM wait for Enter. Category:
// one category letter, or two whose text sorts below "Z" (or "z"), so a pair cannot start with
// Z or z; an empty box clears it. Class: one letter, stored in upper case, or nothing.
MusicEdit musicEdit(MusicBox box, std::string_view text);

// Enter in Length or EOM: minutes and seconds ("03:25") as the seconds to store, or the
// message for a text that is not such a time.
MusicEdit musicTimeEntered(std::string_view text);

// Sets the box's field in `record`; a one-character field takes a blank for nothing.
void setMusicField(MusicRecord& record, MusicBox box, const std::string& value);

}  // namespace dvx
