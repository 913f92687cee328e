#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dvx {

// The numeric value of a text field as the catalogues store numbers ("205  ", "12.5"): blanks
// anywhere are skipped, then an optional sign, digits and an optional fraction are read up to
// the first other character. A text without a number ("", "abc", a never-written field) is 0.
double numericValue(std::string_view text);

// The numeric value rounded to whole seconds (halves to the even neighbour), kept within the
// range of a 32-bit count.
std::int32_t wholeSecondsValue(std::string_view text);

// A number typed into a box, as the windows read it: the leading number, rounded; 0 when none.
int typedNumber(std::string_view text);

// `number` in decimal with leading zeros to at least `width` digits (7, 4 -> "0007").
std::string zeroPadded(int number, int width);

// Reads record `number` of `catalogue`, lets `change` set its fields and writes it back whole:
// the record as it is on disk now, since another window may have written it since it was shown.
template <typename Catalogue, typename Change>
void rewriteRecord(Catalogue& catalogue, int number, Change&& change) {
    auto record = catalogue.read(number);
    change(record);
    catalogue.write(number, record);
}

// A stored text as it may be shown or logged: the zero bytes of a never-written field become
// blanks, the width stays.
std::string shownText(std::string_view stored);

}  // namespace dvx
