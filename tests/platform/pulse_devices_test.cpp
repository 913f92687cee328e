// The PulseAudio backend on the null sinks of a private sound server
// (tests/support/null_sinks.sh runs this program beside one). No sound card is needed, and
// every device is there: a missing one fails the test.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "null_sink_support.h"
#include "platform/audio_factory.h"
#include "platform/pulse_backend.h"
#include "platform/sample_ring.h"

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
    PulseBackend backend;
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

}  // namespace
}  // namespace dvx
