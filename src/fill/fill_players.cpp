#include "fill/fill_players.h"

#include <algorithm>
#include <stdexcept>

#include "common/io_error.h"
#include "common/time_text.h"
#include "fill/fill_selection.h"
#include "fill/fill_view.h"
#include "sensor/alarm_log.h"
#include "sensor/sensor_audio.h"
#include "sensor/sensor_engine.h"
#include "settings/connection_settings.h"
#include "settings/parameters.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

const std::string kEndFillLine = ">>End Fill<<" + std::string(13, ' ');
constexpr std::int16_t kEndFillPageCode = 98;
// Files that would not play are passed over and another item chosen at once, up to this many
// times in one tick (each choice may read the whole catalogue); the next tick goes on.
constexpr int kChoicesPerTick = 4;

}  // namespace

FillPlayers::FillPlayers(Context context) : m_context(std::move(context)) {
    MainAudioGraph& graph = m_context.graph;
    graph.WavePlayer1.setOnDone([this] { onPlayerDone(); });
    graph.WavePlayer2.setOnDone([this] { onPlayerDone(); });
    graph.WaveOut2.setOnNotification(
        [this](FillNotification notification) { onMixerNotification(notification); });
}

FillPlayers::~FillPlayers() {
    MainAudioGraph& graph = m_context.graph;
    graph.WavePlayer1.setOnDone(nullptr);
    graph.WavePlayer2.setOnDone(nullptr);
    graph.WaveOut2.setOnNotification(nullptr);
}

void FillPlayers::StartFill() {
    SensorState& state = m_context.engine.state();
    m_reported.clear();
    m_context.selection.beginFill();
    state.FillEnded = false;
    m_context.engine.Timer2().setEnabled(false);  // a fade-in still running stops here
    m_context.liveChain.stopPassThrough();
    m_context.liveChain.setVolume(0);
    state.ActivePlayer = 1;
    m_context.view.setFillMetersVisible(true);
    startItem(1);
    m_context.view.setTimeLeftVisible(true);
}

void FillPlayers::NextFillItem() {
    SensorState& state = m_context.engine.state();
    const int source = state.ActivePlayer != 1 ? 1 : 2;
    if (startItem(source)) {
        state.ActivePlayer = static_cast<std::int16_t>(source);
    }
}

void FillPlayers::FillTick() {
    const SensorState& state = m_context.engine.state();
    m_remainingSeconds = roundHalfEven(secondsToItemEnd(state, m_context.clock));
    m_context.view.showTimeLeft(FormatSeconds(std::max(0, m_remainingSeconds)));
    if (!state.AlarmActive && !fillSounds()) {
        // The alarm is over and nothing plays: the end notice of the last item was missed
        // (it came while the alarm was still on, or the item never started).
        endFill(true);
    }
}

void FillPlayers::ServeStopRequest() {
    MainAudioGraph& graph = m_context.graph;
    graph.WaveOut2.stop();
    graph.WavePlayer1.stop();
    graph.WavePlayer2.stop();
    graph.WaveFile1.setFileName({});
    graph.WaveFile2.setFileName({});
    m_context.view.setTimeLeftVisible(false);
    m_context.engine.state().StopFillOutputs = false;
}

bool FillPlayers::startItem(int source) {
    for (int choice = 0; choice < kChoicesPerTick; ++choice) {
        const FillSelection::Result chosen = m_context.selection.choose();
        if (!chosen.item) {
            report(chosen.failure);
            noItem();
            return false;
        }
        const FillItem& item = *chosen.item;
        if (item.FillLength <= 0) {
            // It would start again on every tick.
            passOver(chosen, "its end mark in the catalogue gives it no length");
            continue;
        }
        std::int32_t length = item.FillLength;
        try {
            const std::int64_t soundMs = play(source, item.FillPath);
            if (soundMs == 0) {
                passOver(chosen, "it holds no sound");
                continue;
            }
            // An end mark past the file's end would leave the air silent until then.
            length =
                static_cast<std::int32_t>(std::min<std::int64_t>(length, (soundMs + 999) / 1000));
        } catch (const IoError& error) {
            passOver(chosen, error.what());
            continue;
        } catch (const std::exception& error) {
            report(error.what());  // the device failed: the item keeps its time all the same
        }
        try {
            m_context.selection.commit(chosen);
        } catch (const std::exception& error) {
            // The item plays; only its count is lost.
            const std::string lost = std::string("Play not counted: ") + error.what();
            m_context.log.WriteAlarmLog(lost);
            report(lost);
        }
        ++m_itemsStarted;
        m_context.view.showItem(item.Label3);
        m_remainingSeconds = length;
        startItemTime(m_context.engine.state(), m_context.clock, length);
        m_context.log.setLogKind("PL");
        m_context.log.WriteAlarmLog(item.LogText);
        m_context.log.WritePlaylistLog(item.LogText);
        m_context.view.setTimeLeftVisible(true);
        m_reported.clear();
        return true;
    }
    noItem();
    return false;
}

void FillPlayers::passOver(const FillSelection::Result& chosen, const std::string& why) {
    // Logged once: the file is not chosen again in this fill, and nothing is counted for it.
    m_context.selection.passOver(chosen);
    const std::filesystem::path& file = chosen.item->FillPath;
    m_context.log.WriteAlarmLog("Skipped " + file.filename().string() + ": " + why);
    m_context.errors.showError("The fill skips " + file.string() +
                               " for the rest of this fill: " + why);
}

std::int64_t FillPlayers::play(int source, const std::filesystem::path& file) {
    MainAudioGraph& graph = m_context.graph;
    if (!m_context.parameters.UseMixer) {
        WavePlayer& player = source == 1 ? graph.WavePlayer1 : graph.WavePlayer2;
        player.setFileName(file);
        const std::int64_t soundMs = player.lengthMs();
        if (soundMs == 0) {
            player.setFileName({});
            return 0;
        }
        player.play();
        return soundMs;
    }
    const int input = source - 1;
    FileSource& fileSource = source == 1 ? graph.WaveFile1 : graph.WaveFile2;
    // Held while the file changes, so the new file plays on that input from its start.
    graph.Mixer.setInputHeld(input, true);
    std::int64_t soundMs = 0;
    try {
        fileSource.setFileName(file);
        soundMs = fileSource.lengthMs();
        if (soundMs == 0) {
            fileSource.setFileName({});
        }
    } catch (...) {
        graph.Mixer.setInputHeld(input, false);
        throw;
    }
    graph.Mixer.setInputHeld(input, false);
    if (soundMs > 0) {
        graph.WaveOut2.start();  // started by the fill's first item; again after a lost device
    }
    return soundMs;
}

void FillPlayers::noItem() {
    // An item of no length: its end time is now, so the next tick chooses again.
    m_remainingSeconds = 0;
    startItemTime(m_context.engine.state(), m_context.clock, 0);
}

bool FillPlayers::fillSounds() const {
    const MainAudioGraph& graph = m_context.graph;
    if (graph.WavePlayer1.isPlaying() || graph.WavePlayer2.isPlaying()) {
        return true;
    }
    if (!graph.WaveOut2.isRunning()) {
        return false;
    }
    const auto busy = [&](int input, const FileSource& source) {
        return graph.Mixer.inputHeld(input) || (source.isLoaded() && !source.hasEnded());
    };
    return busy(0, graph.WaveFile1) || busy(1, graph.WaveFile2);
}

void FillPlayers::onPlayerDone() {
    const SensorState& state = m_context.engine.state();
    if (state.FillEnded || state.AlarmActive) {
        return;  // between items of a running alarm, or after the fill has ended
    }
    if (fillSounds()) {
        return;  // the older item's tail ended; the item after it still plays
    }
    endFill(true);
}

void FillPlayers::onMixerNotification(FillNotification notification) {
    SensorState& state = m_context.engine.state();
    if (notification == FillNotification::StopOutputs) {
        state.StopFillOutputs = true;
        return;
    }
    // Both inputs ran dry. While the alarm lasts that is only the gap before the next item.
    if (state.FillEnded || state.AlarmActive) {
        return;
    }
    m_context.graph.WaveFile1.setFileName({});
    m_context.graph.WaveFile2.setFileName({});
    endFill(false);
}

void FillPlayers::endFill(bool requestStop) {
    SensorState& state = m_context.engine.state();
    if (m_context.switchAlarmRelayOff) {
        m_context.switchAlarmRelayOff();
    }
    if (requestStop) {
        state.StopFillOutputs = true;
    }
    state.ActivePlayer = 0;
    m_remainingSeconds = 0;
    m_context.log.setLogKind("PL");
    m_context.log.WriteAlarmLog(kEndFillLine);
    // Also after a stop during the fill, which keeps the capture running for this: the live
    // feed goes back on air.
    try {
        m_context.liveChain.startPassThrough();
    } catch (const std::exception& error) {
        report(error.what());
    }
    m_context.engine.startFadeIn();
    state.FillEnded = true;
    m_context.view.setFillMetersVisible(false);
    m_context.view.showTimeLeft("");

    const Parameters& parameters = m_context.parameters;
    if (mailGoesOut(parameters.EmailOnEnd, parameters.PageOnEnd,
                    m_context.connection.DialConnect)) {
        const LocalDateTime now = m_context.clock.now();
        m_context.notifier.SendEmail(
            alarmMailSubject(m_context.Facility),
            notificationText(now.year, now.month, now.day, now.secondsOfDay, " End Fill"));
    }
    if (parameters.PageOnEnd == 1) {
        m_context.notifier.SendPPage(kEndFillPageCode);
    }
}

void FillPlayers::report(const std::string& message) {
    if (m_reported.insert(message).second) {
        m_context.errors.showError(message);
    }
}

}  // namespace dvx
