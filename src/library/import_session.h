#pragma once

// The import window's work that is not drawing: the source chosen, the preview's marks, the
// fade, the level and AutoStop, and the plan of the transfer they make.
//
// How the import window (frmImportFile) drives it:
//
//   ImportSession session(soundFiles, parameters.Threshold);
//
//   File1 click        if (auto why = session.chooseSource(path)) show *why; else the buttons
//   txtThreshold       session.setThreshold(numeric value)
//   lstFadeDuration    session.setFadeSeconds(fadeSecondsOf(entry text)); the list is
//                      fadeDurationEntries()
//   Check2             session.setAdjustLevel(checked)
//   Check1, txtTime    session.setAutoStop(checked ? ParseMinSec(txtTime) : nothing)
//   MMSliderX1         session.setLevel(position); shown again from session.level()
//   cmdPlay            session.startPreview(); the player from session.startMarkMs()
//   preview buffer     Shape1 lit = session.previewBuffer(player position, peaks)
//   cmdFTrim           session.FTrim()
//   cmdMarkFade        session.markFade(player position); the preview stops
//   &Import            plan = session.planTransfer(); if (!plan.plan) show plan.refusal;
//                      else ImportTransfer::begin(*plan.plan, destination, library, failure)
//                      (import_transfer.h), its steps on a timer or a worker, then finish()
//
// Marks are kept in frames and exchanged in milliseconds, as the player counts. Main thread.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/import_shaper.h"
#include "platform/audio_backend.h"
#include "platform/sound_files.h"
#include "platform/wave_helper.h"

namespace dvx {

inline constexpr int kAdjustedPeak = 18400;  // "Adjust Level" brings the highest peak here
inline constexpr int kMaxFadeSeconds = 10;

// lstFadeDuration: "Fader Off", then "1 Seconds" ... "10 Seconds".
std::vector<std::string> fadeDurationEntries();
// The number an entry starts with; 0 for "Fader Off".
int fadeSecondsOf(std::string_view entry);

// "Adjust Level": the slider position times 18400 / the highest peak, rounded, kept within the
// slider's range 0..32000; unchanged when no peak was measured.
int adjustedLevel(int Slider, int highestPeak);

// AutoStop's time includes the fade: the message when it is not longer than the fade.
std::optional<std::string> autoStopProblem(std::optional<int> autoStopSeconds, int fadeSeconds);

// A source that can be imported.
struct ImportSource {
    std::filesystem::path path;
    std::int64_t frames = 0;  // at 44100 Hz
    int channels = 2;         // of the file written: 1 for a mono source
    SoundTags tags;
    std::int64_t lengthMs() const;
};

struct PlannedTransfer {
    std::optional<TransferPlan> plan;
    std::string refusal;  // when there is no plan
};

class ImportSession {
  public:
    ImportSession(SoundFiles& files, int threshold) : m_files(files), m_threshold(threshold) {}

    // A file chosen for import: opened and checked, and the marks, the highest peak and the level
    // start afresh for it. The reason, when the file cannot be imported (no source is chosen
    // then).
    std::optional<std::string> chooseSource(const std::filesystem::path& path);
    const std::optional<ImportSource>& source() const { return m_source; }

    void setThreshold(int threshold) { m_threshold = threshold; }
    int threshold() const { return m_threshold; }
    void setFadeSeconds(int seconds);
    int fadeSeconds() const { return m_fadeSeconds; }
    void setAdjustLevel(bool checked) { m_adjustLevel = checked; }
    void setAutoStop(std::optional<int> seconds) { m_autoStopSeconds = seconds; }
    void setLevel(int Slider);
    int level() const { return m_level; }

    // cmdPlay: the end mark and the highest peak go, the level returns to 16384.
    void startPreview();
    // One buffer of the preview at the player's position: the first loud buffer sets the start
    // mark where none is set, every loud one the end mark. True when it is loud (Shape1 lit).
    bool previewBuffer(std::int64_t positionMs, Peaks peaks);
    void FTrim() { m_start.reset(); }
    void markFade(std::int64_t positionMs) { m_end = msToFrames(positionMs); }
    // A preview from the start mark to the end of the source, at once and without playing:
    // marks by buffer boundaries, the start at a loud buffer's first frame, the end after its
    // last. Throws IoError.
    void previewWhole();

    std::optional<std::int64_t> startMarkMs() const;
    std::optional<std::int64_t> endMarkMs() const;
    int highestPeak() const { return m_highestPeak; }

    // "&Import": the transfer that the marks, fade, level and AutoStop make (Adjust Level applied
    // once per preview), or why there is none.
    PlannedTransfer planTransfer();

  private:
    void takeBuffer(std::int64_t begin, std::int64_t end, Peaks peaks);

    SoundFiles& m_files;
    std::optional<ImportSource> m_source;
    int m_threshold;
    int m_fadeSeconds = 0;
    bool m_adjustLevel = false;
    bool m_levelAdjusted = false;  // by the plan since the last preview
    std::optional<int> m_autoStopSeconds;
    int m_level = kLevelUnity;
    std::optional<std::int64_t> m_start;  // frames; nothing: not set
    std::optional<std::int64_t> m_end;
    int m_highestPeak = 0;
};

// The plan of the command line's import: the start and the end where a whole preview would mark
// them, found during the transfer itself so the source is decoded once.
TransferPlan thresholdPlan(const ImportSource& source, int threshold, int fadeSeconds,
                           std::optional<int> autoStopSeconds, int level);

}  // namespace dvx
