#include "sensor/audio_health.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/audio_test_support.h"
#include "platform/main_audio_graph.h"
#include "sensor/alarm_log.h"

namespace dvx {
namespace {

// What a sound system that carries the pass-through by itself (a sound server's loopback) does
// with it, as the tests set it.
struct CarriedState {
    bool offered = false;  // the system offers to carry it
    bool refuses = false;  // ... but will not when asked
    bool away = false;     // Net Out's device is gone: the stream cannot start
    bool failed = false;   // the running stream's device went
    bool running = false;
    int gain = -1;
};

class FakeCarriedPassThrough : public CarriedPassThrough {
  public:
    explicit FakeCarriedPassThrough(CarriedState& state) : m_state(state) {}
    ~FakeCarriedPassThrough() override { m_state.running = false; }
    void start() override {
        if (m_state.refuses) {
            m_state.offered = false;  // as the real one, it is not offered again
            throw CarryRefused("The sound server does not carry the pass-through");
        }
        if (m_state.away) {
            throw AudioError("The sound output cannot be opened");
        }
        m_state.failed = false;
        m_state.running = true;
    }
    void stop() override { m_state.running = false; }
    bool isRunning() const override { return m_state.running; }
    bool hasFailed() const override { return m_state.failed; }
    void setGain(int volume) override { m_state.gain = volume; }

  private:
    CarriedState& m_state;
};

// The virtual devices, and a pass-through carried as `state` says.
class CarryingBackend : public AudioBackend {
  public:
    CarryingBackend(AudioBackend& devices, CarriedState& state)
        : m_devices(devices), m_state(state) {}
    std::string name() const override { return m_devices.name(); }
    std::vector<std::string> inputDeviceNames() const override {
        return m_devices.inputDeviceNames();
    }
    std::vector<std::string> outputDeviceNames() const override {
        return m_devices.outputDeviceNames();
    }
    std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) override {
        return m_devices.openInput(device, channels, sink);
    }
    std::unique_ptr<AudioStream> openOutput(int device, int channels,
                                            RenderSource& source) override {
        return m_devices.openOutput(device, channels, source);
    }
    std::unique_ptr<CarriedPassThrough> openCarriedPassThrough(int, int, int) override {
        if (!m_state.offered) {
            return nullptr;
        }
        return std::make_unique<FakeCarriedPassThrough>(m_state);
    }
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> work) override {
        return m_devices.startBackgroundWork(std::move(work));
    }

  private:
    AudioBackend& m_devices;
    CarriedState& m_state;
};

// The main window's audio graph on virtual devices with the watch on it, a steady feed of
// 8000 on both channels and a simulated clock from 12:00:00. Capture on "Virtual Feed", the
// pass-through on "Virtual Out 0", player 1 and the mixer output on "Virtual Out 1".
struct HealthRig {
    HealthRig() {
        std::filesystem::create_directories(paths.logsFolder());
        graph.setDevices(0, 0, 1, 2);
    }

    void startPassThrough(int volume) {
        graph.Fader.setVolume(volume);
        graph.WaveIn.start();
        graph.WaveOut1.start();
    }
    std::vector<std::string> log() const { return test::fileLines(alarmLog.dailyFile(2026, 3, 2)); }
    // The last `seconds` that went out on a virtual output, left channel.
    std::vector<std::int16_t> lastOnAir(int output, double seconds) const {
        const test::Sound sound = audio.output(output);
        const auto frames = static_cast<std::size_t>(seconds * 44100);
        std::vector<std::int16_t> left;
        for (std::size_t i = sound.frames() - frames; i < sound.frames(); ++i) {
            left.push_back(sound.samples[2 * i]);
        }
        return left;
    }

    test::VirtualRig audio{test::constant(8000, 120 * 44100)};
    Paths paths{audio.folder.path() / "root"};
    test::RecordingErrorReporter errors;
    AlarmLog alarmLog{paths, audio.clock, errors};
    CarriedState carried;  // not offered unless a test says so
    CarryingBackend backend{*audio.backend, carried};
    MainAudioGraph graph{backend, audio.files, *audio.pump};
    AudioHealthWatch watch{audio.clock, backend, graph, alarmLog, errors};
};

TEST(AudioHealth, ALostPassThroughIsLoggedOnceAndComesBackOnAirAtItsVolume) {
    HealthRig rig;
    rig.startPassThrough(8192);
    rig.audio.advance(1.0);
    rig.audio.backend->setOutputLost(0, true);
    rig.audio.advance(0.5);
    EXPECT_EQ(rig.log(), std::vector<std::string>{"12:00:01 Audio device lost: Virtual Out 0"});
    EXPECT_EQ(rig.errors.messages.back(), "Audio device lost: Virtual Out 0");
    EXPECT_EQ(rig.watch.lostDevices(), std::vector<std::string>{"Virtual Out 0"});

    rig.audio.advance(15.0);  // three attempts to reopen it, all refused, none logged
    EXPECT_EQ(rig.log().size(), 1u);
    EXPECT_FALSE(rig.graph.WaveOut1.isRunning());

    rig.audio.backend->setOutputLost(0, false);
    rig.audio.advance(6.0);
    EXPECT_EQ(rig.log().size(), 2u);
    EXPECT_EQ(rig.log().back().substr(8), " Audio device back: Virtual Out 0");
    EXPECT_EQ(rig.errors.messages.back(), "Audio device back: Virtual Out 0");
    EXPECT_TRUE(rig.watch.lostDevices().empty());
    EXPECT_TRUE(rig.graph.WaveOut1.isRunning());
    // On air again, at the fader's half volume, without a gap in the last second.
    EXPECT_EQ(rig.lastOnAir(0, 1.0), std::vector<std::int16_t>(44100, 4000));
    EXPECT_EQ(rig.watch.dropouts(), AudioDropouts{});
}

TEST(AudioHealth, ACarriedPassThroughTakesTheFadersVolumeAndIsLostOnlyWhenItFails) {
    HealthRig rig;
    rig.carried.offered = true;
    rig.startPassThrough(8192);
    EXPECT_TRUE(rig.graph.WaveOut1.isCarried());
    EXPECT_TRUE(rig.carried.running);
    EXPECT_EQ(rig.carried.gain, 8192);
    rig.graph.WaveOut1.setVolume(0);  // a fill takes the live feed off air
    EXPECT_EQ(rig.carried.gain, 0);
    rig.audio.advance(10.0);  // no callback of the program's runs for it: not a stall
    EXPECT_TRUE(rig.log().empty());

    rig.carried.failed = true;
    rig.carried.away = true;
    rig.audio.advance(0.5);
    EXPECT_EQ(rig.log(), std::vector<std::string>{"12:00:10 Audio device lost: Virtual Out 0"});
    rig.audio.advance(10.0);
    rig.carried.away = false;
    rig.audio.advance(6.0);
    ASSERT_EQ(rig.log().size(), 2u);
    EXPECT_EQ(rig.log().back().substr(8), " Audio device back: Virtual Out 0");
    EXPECT_TRUE(rig.carried.running);
    EXPECT_EQ(rig.carried.gain, 0);  // still in the fill
}

TEST(AudioHealth, APassThroughTheSoundSystemWillNotCarryGoesThroughTheProgramAtOnce) {
    HealthRig rig;
    rig.carried.offered = true;
    rig.carried.refuses = true;
    rig.startPassThrough(8192);
    EXPECT_FALSE(rig.graph.WaveOut1.isCarried());
    rig.audio.advance(2.0);
    EXPECT_TRUE(rig.log().empty());  // no loss: the feed was on air throughout
    EXPECT_EQ(rig.lastOnAir(0, 1.0), std::vector<std::int16_t>(44100, 4000));
}

TEST(AudioHealth, AStalledInputIsLostUntilItsCallbacksComeBack) {
    HealthRig rig;
    rig.startPassThrough(16384);
    rig.audio.advance(5.0);
    rig.audio.backend->setInputStalled(true);  // no error: the callbacks simply stop
    const std::uint64_t buffers = rig.graph.WaveIn.bufferCount();
    rig.audio.advance(1.8);
    EXPECT_TRUE(rig.log().empty());
    rig.audio.advance(0.6);
    EXPECT_EQ(rig.log(), std::vector<std::string>{"12:00:07 Audio device lost: Virtual Feed"});

    // Reopened every few seconds; a stream that opens but delivers nothing is not "back".
    rig.audio.advance(20.0);
    EXPECT_EQ(rig.log().size(), 1u);
    EXPECT_EQ(rig.graph.WaveIn.bufferCount(), buffers);
    EXPECT_GE(rig.graph.WaveIn.health().failures, 3u);

    rig.audio.backend->setInputStalled(false);
    rig.audio.advance(8.0);
    const std::vector<std::string> log = rig.log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].substr(8), " Audio device back: Virtual Feed");
    // The pass-through waited for its two buffers once the feed was back: one buffer short.
    EXPECT_EQ(log[2].substr(8),
              " Audio dropouts: 0 overruns, 0 underruns, 0 frames dropped by "
              "the capture, 1024 by the pass-through");
    EXPECT_GT(rig.graph.WaveIn.bufferCount(), buffers + 100);
    EXPECT_EQ(rig.lastOnAir(0, 1.0), std::vector<std::int16_t>(44100, 8000));
}

TEST(AudioHealth, AFillDeviceLostBetweenItemsIsProbedUntilItIsBack) {
    HealthRig rig;
    const auto song = rig.audio.folder.path() / "MF0001.wav";
    test::writeWithProgramWriter(rig.audio.files, song, test::sine(440, 10 * 44100, 9000));
    int done = 0;
    rig.graph.WavePlayer1.setOnDone([&] { ++done; });
    rig.graph.WavePlayer1.setFileName(song);
    rig.graph.WavePlayer1.play();
    rig.audio.advance(1.0);
    rig.audio.backend->setOutputLost(1, true);
    rig.audio.advance(1.0);
    EXPECT_EQ(done, 1);  // the item ends as a stopped one does
    EXPECT_EQ(rig.log(), std::vector<std::string>{"12:00:01 Audio device lost: Virtual Out 1"});

    EXPECT_THROW(rig.graph.WavePlayer1.play(), AudioError);  // the next item cannot start
    rig.audio.advance(10.0);
    EXPECT_EQ(rig.log().size(), 1u);
    rig.audio.backend->setOutputLost(1, false);
    rig.audio.advance(5.0);
    ASSERT_EQ(rig.log().size(), 2u);
    EXPECT_EQ(rig.log().back().substr(8), " Audio device back: Virtual Out 1");
    rig.graph.WavePlayer1.play();
    EXPECT_TRUE(rig.graph.WavePlayer1.isPlaying());
}

TEST(AudioHealth, DropoutsAreCountedAndLoggedAtMostOnceAMinute) {
    HealthRig rig;
    rig.startPassThrough(16384);
    rig.audio.advance(1.0);
    rig.audio.backend->flagInputOverrun();
    rig.audio.backend->flagOutputUnderrun(0);
    rig.audio.advance(0.5);
    EXPECT_EQ(rig.watch.dropouts(), (AudioDropouts{1, 1, 0, 0}));
    EXPECT_EQ(rig.log(),
              std::vector<std::string>{"12:00:01 Audio dropouts: 1 overruns, 1 underruns, "
                                       "0 frames dropped by the capture, 0 by the "
                                       "pass-through"});

    // The output hangs for 1.5 s: the ring fills in 25 buffers, then the capture drops whole
    // buffers. The output catches up on what was queued, so nothing is short.
    rig.audio.backend->setOutputStalled(0, true);
    rig.audio.advance(1.5);
    rig.audio.backend->setOutputStalled(0, false);
    rig.audio.advance(1.0);
    const AudioDropouts afterOutputHang = rig.watch.dropouts();
    EXPECT_EQ(afterOutputHang.captureDropped % kFramesPerBuffer, 0u);
    // 1.5 s is 64.6 buffers, less the ring's 25 (one or two of them already queued).
    EXPECT_NEAR(static_cast<double>(afterOutputHang.captureDropped) / kFramesPerBuffer,
                1.5 * 44100 / kFramesPerBuffer - 24, 2);
    EXPECT_EQ(afterOutputHang.passThroughShort, 0u);

    // The feed hangs for a second: the silence while nothing arrives is the feed's, but the
    // output waiting for its two buffers once the feed is back is a gap on air.
    rig.audio.backend->setInputStalled(true);
    rig.audio.advance(1.0);
    rig.audio.backend->setInputStalled(false);
    rig.audio.advance(1.0);
    EXPECT_EQ(rig.watch.dropouts().passThroughShort, static_cast<std::uint64_t>(kFramesPerBuffer));
    EXPECT_EQ(rig.log().size(), 1u);  // within the minute: no second line yet

    rig.audio.advance(60.0);
    ASSERT_EQ(rig.log().size(), 2u);
    EXPECT_EQ(rig.log().back(),
              "12:01:01 Audio dropouts: " + describeDropouts(rig.watch.dropouts()));
    EXPECT_TRUE(rig.watch.lostDevices().empty());  // hangs shorter than 2 s are not losses
}

}  // namespace
}  // namespace dvx
