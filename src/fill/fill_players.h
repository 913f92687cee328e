#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "common/clock.h"
#include "fill/fill_selection.h"
#include "platform/main_audio_graph.h"
#include "sensor/alarm_outputs.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class FillView;
class SensorAudio;
class SensorEngine;
struct ConnectionSettings;
struct Parameters;

// The fill steps on the main window's audio graph: items chosen by the fill selection play one
// after the other, each for its length by the clock, alternating between `WavePlayer1` and
// `WavePlayer2` (or, with `UseMixer`, between the mixer inputs `WaveFile1` and `WaveFile2`
// played by `WaveOut2`), so an item's tail overlaps the start of the next. When the alarm has
// ended and no item sounds any more, the fill ends: the alarm relay is switched off,
// ">>End Fill<<" logged, the live pass-through restarted and faded in, and the end-of-fill
// e-mail and page sent as configured. An item's time runs on the steady clock, so midnight
// neither shortens nor stretches it.
//
// A file that cannot be read or holds no sound, or whose end mark gives it no length, is logged,
// passed over for the rest of the fill and another item chosen at once; nothing is counted for
// it. An end mark past the file's end counts as the file's end. A selection that finds nothing to
// play counts as an item of no length: nothing is logged and the next tick chooses again. An
// output device that fails keeps the item's time all the same. Each such message reaches the
// error window once until an item plays. Should the players fall silent with the alarm over and
// no end notice to come (an item whose file ran out early while the alarm was still on), the
// next tick ends the fill.
//
// Main thread only: the steps run inside the monitoring tick, the players' and the mixer
// output's notifications arrive from the audio event pump between ticks. Construct it after
// the graph and destroy it before: it attaches itself to the players' and `WaveOut2`'s
// callbacks and detaches again.
class FillPlayers : public FillSteps {
  public:
    struct Context {
        const Clock& clock;
        SensorEngine& engine;    // sensor state and the fade-in (`Timer2`)
        SensorAudio& liveChain;  // pass-through `WaveOut1` and its `Fader`
        MainAudioGraph& graph;   // players, file sources, mixer, `WaveOut2`
        const Parameters& parameters;
        const ConnectionSettings& connection;
        const std::string& Facility;
        FillSelection& selection;
        AlarmLog& log;
        AlarmNotifier& notifier;
        FillView& view;
        ErrorReporter& errors;
        std::function<void()> switchAlarmRelayOff;  // the relays decide which relay, if any
    };

    explicit FillPlayers(Context context);
    ~FillPlayers() override;
    FillPlayers(const FillPlayers&) = delete;
    FillPlayers& operator=(const FillPlayers&) = delete;

    void StartFill() override;
    void FillTick() override;
    void NextFillItem() override;
    void ServeStopRequest() override;

    // Whether a fill item is audible: a player plays, or the mixer output runs with an input.
    bool fillSounds() const;
    // Seconds left of the item playing, as last shown.
    std::int32_t RemainingSeconds() const { return m_remainingSeconds; }
    // Fill items started since the program started (an item passed over does not count).
    std::uint64_t itemsStarted() const { return m_itemsStarted; }

  private:
    bool startItem(int source);
    // Loads the file on the source and plays it; returns the length of its sound, 0 with
    // nothing loaded when it holds none. Throws IoError when it cannot be read, AudioError when
    // the device fails.
    std::int64_t play(int source, const std::filesystem::path& file);
    void passOver(const FillSelection::Result& chosen, const std::string& why);
    void noItem();
    void onPlayerDone();
    void onMixerNotification(FillNotification notification);
    void endFill(bool requestStop);
    void report(const std::string& message);

    Context m_context;
    std::int32_t m_remainingSeconds = 0;
    std::uint64_t m_itemsStarted = 0;
    std::set<std::string> m_reported;  // messages shown since the last item started
};

}  // namespace dvx
