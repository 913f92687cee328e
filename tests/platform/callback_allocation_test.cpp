// Checks that the audio callback path never allocates and never takes a lock. Its own program:
// it replaces malloc and friends and pthread_mutex_lock for the whole process, and counts the
// calls made on this thread while it plays the audio thread.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "audio_test_support.h"
#include "platform/file_sink.h"
#include "platform/mixer_output.h"
#include "platform/pass_through_output.h"
#include "platform/wave_input.h"
#include "platform/wave_player.h"
#include "platform/wave_recorder.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

thread_local bool t_counting = false;
std::atomic<int> g_allocations{0};
std::atomic<int> g_locks{0};

void noteAllocation() {
    if (t_counting) {
        g_allocations.fetch_add(1);
    }
}

using LockFunction = int (*)(pthread_mutex_t*);
LockFunction g_realLock = nullptr;
LockFunction g_realTryLock = nullptr;

// Looked up before main, so the lookup's own allocations are never counted.
[[maybe_unused]] const bool g_lookedUp = [] {
    g_realLock = reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    g_realTryLock = reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, "pthread_mutex_trylock"));
    return true;
}();

}  // namespace

extern "C" {
void* malloc(std::size_t size) {
    noteAllocation();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    noteAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
    noteAllocation();
    return __libc_realloc(pointer, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    noteAllocation();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    noteAllocation();
    *result = __libc_memalign(alignment, size);
    return *result != nullptr || size == 0 ? 0 : ENOMEM;
}
void free(void* pointer) {
    __libc_free(pointer);
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    if (t_counting) {
        g_locks.fetch_add(1);
    }
    return g_realLock(mutex);
}
int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    if (t_counting) {
        g_locks.fetch_add(1);
    }
    return g_realTryLock(mutex);
}
}

namespace dvx {
namespace {

// Counts what the enclosed code does on this thread.
class Counted {
  public:
    Counted() { t_counting = true; }
    ~Counted() { t_counting = false; }
};

class LevelTest : public CaptureObserver {
  public:
    void onBuffer(const CapturedBuffer& buffer) noexcept override {
        loud.fetch_add(buffer.peaks.left > 1000 ? 1 : 0, std::memory_order_relaxed);
    }
    std::atomic<int> loud{0};
};

void pace() {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

TEST(CallbackPath, NeverAllocatesNorLocks) {
    {
        Counted counted;
        int* probe = new int(5);                     // the counters do count
        asm volatile("" : : "r"(probe) : "memory");  // kept, not optimised away
        delete probe;
        std::mutex mutex;
        mutex.lock();
        mutex.unlock();
    }
    ASSERT_EQ(g_allocations.exchange(0), 1);
    ASSERT_EQ(g_locks.exchange(0), 1);

    test::TempFolder folder;
    SimulatedClock clock(2026, 3, 2, 0);
    AudioEventPump pump(clock);
    SndfileSoundFiles files;
    test::HandDrivenBackend backend;
    const auto song = folder.path() / "song.wav";
    test::writeWithProgramWriter(files, song, test::sine(440, 5 * 44100, 9000));

    // The live chain, a file sink and a recorder sharing the same capture: the recorder mixes
    // down to mono, waits for a loud buffer to start writing and queues every buffer's peaks.
    SampleRing ring(static_cast<std::size_t>(kQueueBuffers) * kBufferBytes / 2);
    VolumeStage fader(8192);
    VolumeStage gain;
    LevelTap meters;
    LevelTest levelTest;
    FileSink sink(backend, files);
    sink.setGain(&gain);
    sink.open(folder.path() / "take.wav", 2);
    sink.setEnabled(true);
    WaveInput input(backend, pump);
    input.setTap(&meters);
    input.setRing(&ring);
    input.addSink(sink);
    input.addObserver(levelTest);
    input.start();
    WaveRecorder recorder(backend, files, pump, input);
    recorder.open({folder.path() / "spot.wav", input.device(), 1});
    recorder.setSoundStart(1000);
    int recorderBuffers = 0;
    recorder.setBufferHandler([&](Peaks peaks) { recorderBuffers += peaks.left > 1000 ? 1 : 0; });
    ASSERT_TRUE(recorder.sharesMainCapture());
    CaptureSink& capture = *backend.lastSink;
    PassThroughOutput passThrough(backend, pump, ring, fader);
    passThrough.start();
    RenderSource& passThroughRender = *backend.lastSource;

    WavePlayer player(backend, files, pump);
    player.setTap(&meters);
    player.setFileName(song);
    player.play();
    RenderSource& playerRender = *backend.lastSource;

    FileSource first(backend, files);
    FileSource second(backend, files);
    first.setFileName(song);
    second.setFileName(song);
    WaveMixer mixer(first, second);
    MixerOutput fill(backend, pump, mixer);
    fill.start();
    RenderSource& fillRender = *backend.lastSource;

    StreamCounters counters;  // what a PortAudio callback does with the device's flags
    const test::Sound tone = test::sine(1000, kFramesPerBuffer, 12000);
    std::vector<std::int16_t> out(static_cast<std::size_t>(kFramesPerBuffer) * 2);
    std::int64_t playedSum = 0;
    std::int64_t mixedSum = 0;
    for (int buffer = 0; buffer < 150; ++buffer) {
        {
            Counted counted;
            counters.note(buffer % 7 == 0, buffer % 11 == 0);
            capture.onCaptured(tone.samples.data(), kFramesPerBuffer, 2);
            passThroughRender.render(out.data(), kFramesPerBuffer, 2);
            playerRender.render(out.data(), kFramesPerBuffer, 2);
        }
        playedSum += std::abs(out[100]);
        {
            Counted counted;
            fillRender.render(out.data(), kFramesPerBuffer, 2);
        }
        mixedSum += std::abs(out[100]);
        pace();  // the decoders and the disk writer catch up, as between real callbacks
    }
    EXPECT_EQ(g_allocations.load(), 0);
    EXPECT_EQ(g_locks.load(), 0);

    // And the callbacks did their work.
    EXPECT_EQ(levelTest.loud.load(), 150);
    EXPECT_EQ(counters.read(), (StreamStats{150, 22, 14}));
    EXPECT_GT(playedSum, 0);
    EXPECT_GT(mixedSum, 0);
    EXPECT_NEAR(player.positionMs(), 150 * 1024 * 1000 / 44100, 1);
    pump.dispatchNow();
    EXPECT_EQ(recorderBuffers, 150);
    recorder.close();
    input.close();
    sink.close();
    EXPECT_EQ(test::readSound(folder.path() / "take.wav").frames(), 150u * kFramesPerBuffer);
    const test::Sound spot = test::readSound(folder.path() / "spot.wav");
    EXPECT_EQ(spot.channels, 1);
    EXPECT_EQ(spot.frames(), 150u * kFramesPerBuffer);
}

}  // namespace
}  // namespace dvx
