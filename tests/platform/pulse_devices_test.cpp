// The PulseAudio backend on the null sinks of a private sound server
// (tests/support/null_sinks.sh runs this program beside one). No sound card is needed, and
// every device is there: a missing one fails the test.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "null_sink_support.h"
#include "platform/audio_factory.h"
#include "platform/pulse_backend.h"
#include "platform/sample_ring.h"
#include "platform/volume_stage.h"

namespace dvx {
namespace {

using namespace std::chrono_literals;
using test::Capture;
using test::indexOf;
using test::Tone;
using test::waitFor;

// The null sinks all describe themselves as "Null Output": their names tell them apart.
std::string sink(const std::string& name) {
    return "Null Output (" + name + ")";
}
std::string monitorOf(const std::string& name) {
    return "Monitor of Null Output (" + name + ".monitor)";
}

// A pass-through: what it captures it plays, through a queue, as the program's own does.
class Relay : public CaptureSink, public RenderSource {
  public:
    void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept override {
        m_ring.write(samples, static_cast<std::size_t>(frames) * channels);
        m_captured.fetch_add(frames);
    }
    void render(std::int16_t* samples, int frames, int channels) noexcept override {
        const std::size_t wanted = static_cast<std::size_t>(frames) * channels;
        std::fill(samples + m_ring.read(samples, wanted), samples + wanted, 0);
    }
    long captured() const { return m_captured.load(); }

  private:
    SampleRing m_ring{1 << 16};
    std::atomic<long> m_captured{0};
};

double rmsOfLastSecond(const std::vector<std::int16_t>& samples) {
    double sum = 0;
    const std::size_t count = std::min<std::size_t>(samples.size(), 2 * 44100);
    for (std::size_t i = samples.size() - count; i < samples.size(); ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return count > 0 ? std::sqrt(sum / count) : 0;
}

// The RMS level of the half second `heard` captures from a moment after now on (a change of
// gain takes the server a few milliseconds, and the capture hands on whole buffers).
double levelAfterAMoment(const Capture& heard) {
    std::this_thread::sleep_for(150ms);
    const std::size_t from = heard.frames();
    EXPECT_TRUE(waitFor([&] { return heard.frames() >= from + 22050; }));
    const std::vector<std::int16_t> samples = heard.samples();
    double sum = 0;
    for (std::size_t i = 2 * from; i < 2 * (from + 22050); ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return std::sqrt(sum / (2 * 22050));
}

// How many of the program's loopbacks run into the sink `name`.
int loopbacksInto(const std::string& name) {
    const std::string command =
        "pactl list short modules | grep module-loopback | grep -c "
        "'sink=\"" +
        name + "\".*dorvexia.pass_through'";
    FILE* pipe = popen(command.c_str(), "r");
    int count = -1;
    if (pipe != nullptr) {
        if (std::fscanf(pipe, "%d", &count) != 1) {
            count = -1;
        }
        pclose(pipe);
    }
    return count;
}

TEST(PulseDevices, ListEverySinkAndMonitorApartInTheOrderOfTheirNames) {
    PulseBackend backend;
    EXPECT_EQ(backend.startupProblem(), "");
    // The server loaded feed, net, fill1, fill2 in that order.
    EXPECT_EQ(backend.outputDeviceNames(),
              (std::vector{sink("feed"), sink("fill1"), sink("fill2"), sink("net")}));
    EXPECT_EQ(backend.inputDeviceNames(), (std::vector{monitorOf("feed"), monitorOf("fill1"),
                                                       monitorOf("fill2"), monitorOf("net")}));
    EXPECT_TRUE(backend.defaultOutputDevice().has_value());
    // Where a server answers, the machine is reached through it by default.
    EXPECT_EQ(createMachineAudioBackend("auto")->name(), "pulse");
}

TEST(PulseDevices, APassThroughFromTheFeedsMonitorCarriesTheSoundToNet) {
    PulseBackend backend(PulseBackend::PassThrough::Program);
    const std::vector<std::string> inputs = backend.inputDeviceNames();
    const std::vector<std::string> outputs = backend.outputDeviceNames();
    Tone tone;
    Relay relay;
    Capture heard;
    auto feed = backend.openOutput(indexOf(outputs, sink("feed")), 2, tone);
    auto passIn = backend.openInput(indexOf(inputs, monitorOf("feed")), 2, relay);
    auto passOut = backend.openLiveOutput(indexOf(outputs, sink("net")), 2, relay);
    auto net = backend.openInput(indexOf(inputs, monitorOf("net")), 2, heard);
    for (AudioStream* stream : {feed.get(), passIn.get(), passOut.get(), net.get()}) {
        stream->start();
    }
    ASSERT_TRUE(waitFor([&] { return heard.frames() >= 44100; }));
    // Stopped and started again, the output plays on: it owes the server what it asked for
    // while stopped.
    passOut->stop();
    passOut->start();
    EXPECT_TRUE(waitFor([&] { return heard.frames() >= 3 * 44100; }));
    net->stop();
    // The tone's level in the last second heard: no gap on the way.
    EXPECT_NEAR(rmsOfLastSecond(heard.samples()), 8000 / std::sqrt(2.0), 250);

    passIn->stop();  // once stopped, nothing more reaches its sink
    const long captured = relay.captured();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(relay.captured(), captured);
    for (AudioStream* stream : {feed.get(), passIn.get(), passOut.get(), net.get()}) {
        EXPECT_FALSE(stream->hasFailed());
        EXPECT_GT(stream->stats().callbacks, 0u);
    }
}

TEST(PulseDevices, AStreamWhoseSinkIsUnloadedFailsAndTheSinkOpensAgainWhenBack) {
    PulseBackend backend;
    const std::vector<std::string> outputs = backend.outputDeviceNames();
    const int fill2 = indexOf(outputs, sink("fill2"));
    Tone tone;
    Capture capture;
    auto output = backend.openOutput(fill2, 2, tone);
    auto input =
        backend.openInput(indexOf(backend.inputDeviceNames(), monitorOf("fill2")), 2, capture);
    output->start();
    input->start();
    ASSERT_TRUE(waitFor([&] { return capture.frames() > 4410; }));

    test::pactl("unload-module " + test::moduleOf("fill2"));
    EXPECT_TRUE(waitFor([&] { return output->hasFailed() && input->hasFailed(); }));
    EXPECT_THROW(backend.openOutput(fill2, 2, tone), AudioError);  // while it is away
    output.reset();
    input.reset();

    test::pactl("load-module module-null-sink sink_name=fill2");
    // Back under a new index of the server's, it keeps its place in the list.
    EXPECT_EQ(PulseBackend().outputDeviceNames(), outputs);
    auto again = backend.openOutput(fill2, 2, tone);
    again->start();
    EXPECT_TRUE(waitFor([&] { return again->stats().callbacks > 10; }));
    EXPECT_FALSE(again->hasFailed());
}

TEST(PulseDevices, TheServerCarriesThePassThroughAtItsGainOnceAndEndsItWithItsSink) {
    EXPECT_EQ(PulseBackend(PulseBackend::PassThrough::Program).openCarriedPassThrough(0, 0, 2),
              nullptr);
    PulseBackend backend;
    const int feedMonitor = indexOf(backend.inputDeviceNames(), monitorOf("feed"));
    const int net = indexOf(backend.outputDeviceNames(), sink("net"));
    Tone tone;
    Capture heard;
    auto feed = backend.openOutput(indexOf(backend.outputDeviceNames(), sink("feed")), 2, tone);
    auto onAir = backend.openInput(indexOf(backend.inputDeviceNames(), monitorOf("net")), 2, heard);
    feed->start();
    onAir->start();

    auto carried = backend.openCarriedPassThrough(feedMonitor, net, 2);
    ASSERT_NE(carried, nullptr);
    EXPECT_FALSE(carried->callsBack());
    carried->setGain(VolumeStage::kUnity / 2);  // before it starts: heard from the first sound
    carried->start();
    ASSERT_TRUE(waitFor([&] { return heard.frames() >= 44100; }));
    const double full = 8000 / std::sqrt(2.0);
    EXPECT_NEAR(levelAfterAMoment(heard), full / 2, 150);
    carried->setGain(0);  // a fill: the live feed off air
    EXPECT_LT(levelAfterAMoment(heard), 5);
    carried->setGain(VolumeStage::kUnity);
    EXPECT_NEAR(levelAfterAMoment(heard), full, 150);

    // A loopback the program left behind when it was killed is replaced, never doubled: here
    // the first stands for it.
    PulseBackend nextRun;
    auto replacing = nextRun.openCarriedPassThrough(feedMonitor, net, 2);
    replacing->start();
    EXPECT_EQ(loopbacksInto("net"), 1);
    EXPECT_TRUE(waitFor([&] { return carried->hasFailed(); }));
    carried.reset();  // gone already: nothing more to unload
    EXPECT_NEAR(levelAfterAMoment(heard), full, 150);
    replacing->stop();  // not waited for: the server unloads it a moment later
    EXPECT_TRUE(waitFor([] { return loopbacksInto("net") == 0; }));
    EXPECT_LT(levelAfterAMoment(heard), 5);
    EXPECT_FALSE(replacing->hasFailed());

    replacing->start();
    onAir.reset();
    test::pactl("unload-module " + test::moduleOf("net"));
    EXPECT_TRUE(waitFor([&] { return replacing->hasFailed(); }));
    replacing->stop();
    EXPECT_THROW(replacing->start(), AudioError);  // while Net Out is away
    test::pactl("load-module module-null-sink sink_name=net");
    replacing->start();
    EXPECT_EQ(loopbacksInto("net"), 1);
    EXPECT_FALSE(replacing->hasFailed());
}

// Run by itself beside a server started with NULL_SINKS_MODULES_LOCKED=1.
TEST(PulseLockedServer, APassThroughTheServerWillNotCarryIsLeftToTheProgram) {
    if (std::getenv("NULL_SINKS_MODULES_LOCKED") == nullptr) {
        GTEST_SKIP() << "needs a server that lets no client load modules";
    }
    PulseBackend backend;
    const std::vector<std::string> inputs = backend.inputDeviceNames();
    const std::vector<std::string> outputs = backend.outputDeviceNames();
    const int feedMonitor = indexOf(inputs, monitorOf("feed"));
    const int net = indexOf(outputs, sink("net"));
    auto carried = backend.openCarriedPassThrough(feedMonitor, net, 2);
    ASSERT_NE(carried, nullptr);
    EXPECT_THROW(carried->start(), CarryRefused);
    EXPECT_FALSE(carried->isRunning());
    EXPECT_EQ(backend.openCarriedPassThrough(feedMonitor, net, 2), nullptr);

    // The program's own pass-through then carries the feed without a gap: its capture is live.
    Tone tone;
    Relay relay;
    Capture heard;
    auto feed = backend.openOutput(indexOf(outputs, sink("feed")), 2, tone);
    auto passIn = backend.openInput(feedMonitor, 2, relay);
    auto passOut = backend.openLiveOutput(net, 2, relay);
    auto onAir = backend.openInput(indexOf(inputs, monitorOf("net")), 2, heard);
    for (AudioStream* stream : {feed.get(), passIn.get(), passOut.get(), onAir.get()}) {
        stream->start();
    }
    ASSERT_TRUE(waitFor([&] { return heard.frames() >= 3 * 44100; }));
    onAir->stop();
    EXPECT_NEAR(rmsOfLastSecond(heard.samples()), 8000 / std::sqrt(2.0), 250);
}

}  // namespace
}  // namespace dvx
