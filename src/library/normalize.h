#pragma once

// Normalising a spot's wave file (frmNormalize, and `dorvexia normalize` on the command line):
// its samples scaled so that the loudest reaches a share of full scale.
//
// How the normalize window drives it:
//   Form_Load      Slider = kNormalizeOpenPosition; lblLevel = normalizeLevelText(Slider)
//   Slider change  lblLevel = normalizeLevelText(Slider)
//   cmdNormalize   outcome = NormalizeFile(soundFiles, normalize path, normalizePercent(Slider));
//                  outcome.done: close; otherwise the error window shows outcome.message and the
//                  window stays open

#include <filesystem>
#include <string>

#include "platform/sound_files.h"

namespace dvx {

inline constexpr int kNormalizeFullScale = 16384;    // the slider's maximum
inline constexpr int kNormalizeOpenPosition = 9191;  // 56 % of full scale

// The slider position as a whole percentage of full scale, halves to the even neighbour:
// 9191 -> 56, 8192 -> 50, 16384 -> 100.
int normalizePercent(int Slider);

// lblLevel: the target in decibels below full scale with two decimals ("-5.04 dB"), "Off" at 0.
std::string normalizeLevelText(int Slider);

struct NormalizeOutcome {
    bool done = false;
    std::string message;  // why the file was left as it was
    int peakBefore = 0;   // magnitudes, 0..32768
    int peakAfter = 0;
};

// Scales the wave file so that its peak reaches `percent` % of 32767, keeping its length and
// channels (16-bit PCM at 44100 Hz, as spots are stored). The new sound goes to a temporary file
// in the same folder that then replaces the original, so the original stays whole until then
// and a player that has it open plays it to its end. Refused, leaving the file as it was: a
// percentage outside 1..100, a file that cannot be read or holds no sound above digital
// silence. Main thread or a worker; the file's only writer while it runs.
NormalizeOutcome NormalizeFile(SoundFiles& files, const std::filesystem::path& path, int percent);

}  // namespace dvx
