#pragma once

#include <string>

namespace dvx {

// The silence threshold (a 16-bit peak sample value, 0..32767) as a level in dBFS:
// 20 x log10(threshold / 32768). 0 is minus infinity: only digital silence counts as silent.
double thresholdDbfs(int threshold);

// The level of a threshold as the Preferences window shows it beside the box: whole decibels,
// as a level meter is read, with the unit and a true minus sign ("−40 dBFS" for 330, "−90 dBFS",
// "0 dBFS"); 0 reads "−∞ dBFS".
std::string thresholdDbfsText(int threshold);

}  // namespace dvx
