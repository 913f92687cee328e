#include "platform/port_opener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "sensor/relays.h"
#include "sensor/remote_inputs.h"
#include "settings/parameters.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

// The sensor's relays and inputs on the real port access, with register files standing in for
// the devices under <root>/dev, or with ports that `open` opens.
struct PortRig {
    explicit PortRig(PortOpenFunction open = nullptr)
        : ports(
              open ? std::move(open)
                   : [root = paths](int RemoteControl) { return openPort(RemoteControl, root); },
              clock, errors) {
        std::filesystem::create_directories(root.path() / "dev");
    }

    std::filesystem::path parport() const { return root.path() / "dev/parport"; }
    std::filesystem::path port() const { return root.path() / "dev/port"; }

    // Polls ten times a second for `seconds`, as the clock tick does.
    void pollFor(double seconds) {
        for (int tick = 0; tick < static_cast<int>(seconds * 10); ++tick) {
            clock.advanceSeconds(0.1);
            inputs.PollInputs();
        }
    }

    test::TempFolder root;
    Paths paths{root.path()};
    SimulatedClock clock{2026, 3, 2, 36000};
    Parameters parameters;
    test::RecordingErrorReporter errors;
    RecordFile MessageFile{root.path() / "MessageFile.dat", 64};
    std::string Facility = "WDVX";
    int mails = 0;
    PortOpener ports;
    Relays relays{clock, parameters, ports};
    RemoteInputs inputs{clock,    parameters,
                        ports,    MessageFile,
                        Facility, [this](const std::string&, const std::string&) { ++mails; },
                        errors};
};

TEST(PortOpener, RegisterFilesStandInForTheParallelPortAndTheBoard) {
    PortRig rig;
    rig.parameters.EmailOnAlarm = 1;
    rig.parameters.RemoteControl = 1;
    test::writeFile(rig.parport(), std::string("\x00\x77\x00", 3));  // input 4 pulled low
    rig.relays.RelayState[5] = 1;
    rig.relays.WriteRelays();
    rig.inputs.PollInputs();
    EXPECT_EQ(test::fileBytes(rig.parport()), (std::vector<std::uint8_t>{0x20, 0x77, 0x00}));
    EXPECT_EQ(rig.inputs.InputActive, (std::array<bool, 5>{false, false, false, false, true}));

    // Switching to the board opens /dev/port's stand-in; the board's inputs are active high.
    std::string board(0x288, '\0');
    board[0x285] = 64;
    test::writeFile(rig.port(), board);
    rig.parameters.RemoteControl = 2;
    rig.relays.RelayState[10] = 1;
    rig.relays.WriteRelays();
    rig.inputs.PollInputs();
    const std::vector<std::uint8_t> bytes = test::fileBytes(rig.port());
    EXPECT_EQ(bytes[0x284], 0x20);
    EXPECT_EQ(bytes[0x286], 4);
    EXPECT_EQ(bytes[0x287], 0x8A);
    EXPECT_EQ(rig.inputs.InputActive, (std::array<bool, 5>{false, true, false, false, false}));
    EXPECT_EQ(rig.mails, 3);
    EXPECT_TRUE(rig.errors.messages.empty());
}

TEST(PortOpener, AnUnopenablePortIsShownOnceAndTriedAgainUntilItWorks) {
    PortRig rig;
    rig.parameters.RemoteControl = 1;
    rig.parameters.AlarmRelay = 1;
    std::filesystem::create_directory(rig.parport());  // cannot be opened for writing

    rig.relays.switchAlarmRelayOn();
    rig.pollFor(30);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_EQ(
        rig.errors.messages[0].rfind(
            "Cannot open the parallel port " + rig.parport().string() + ": Is a directory", 0),
        0u)
        << rig.errors.messages[0];

    std::filesystem::remove(rig.parport());
    test::writeFile(rig.parport(), std::string("\x00\x7F\x00", 3));
    rig.pollFor(11);
    ASSERT_EQ(rig.errors.messages.size(), 2u);
    EXPECT_EQ(rig.errors.messages[1],
              "The relays and remote inputs work again on the parallel port " +
                  rig.parport().string() + ".");
    // The relay switched on while the port was away reaches it now.
    EXPECT_EQ(test::fileBytes(rig.parport())[0], 1);
}

TEST(PortOpener, AFailingReadIsShownOnceAndTheInputsKeepTheirStates) {
    PortRig rig;
    rig.parameters.RemoteControl = 2;
    std::string board(0x288, '\0');
    board[0x285] = 8;
    test::writeFile(rig.port(), board);
    rig.inputs.PollInputs();
    ASSERT_TRUE(rig.inputs.InputActive[4]);

    std::filesystem::resize_file(rig.port(), 0x280);  // port B reads nothing
    rig.pollFor(25);
    EXPECT_TRUE(rig.inputs.InputActive[4]);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("Cannot read I/O board port 0x285 through " +
                                          rig.port().string()),
              std::string::npos)
        << rig.errors.messages[0];

    // Choosing the parallel port instead starts afresh: its trouble is shown in its turn.
    std::filesystem::create_directory(rig.parport());
    rig.parameters.RemoteControl = 1;
    rig.inputs.PollInputs();
    ASSERT_EQ(rig.errors.messages.size(), 2u);
    EXPECT_NE(rig.errors.messages[1].find(rig.parport().string()), std::string::npos);
}

// Opens that hang, as claiming a parallel port that another driver holds does, until the test
// lets them end. The ports they open keep their registers in memory and note when they close.
class HangingOpens {
  public:
    ~HangingOpens() { release(); }  // no thread is left waiting, whatever the test did

    PortOpenFunction function() {
        return [state = m_state](int) {
            {
                std::unique_lock lock(state->mutex);
                ++state->opens;
                state->changed.wait(lock, [&] { return state->released; });
            }
            return OpenedPort{std::make_unique<MemoryPort>(state), {}};
        };
    }
    void release() {
        std::lock_guard lock(m_state->mutex);
        m_state->released = true;
        m_state->changed.notify_all();
    }
    int opens() const { return read(&State::opens); }
    int closed() const { return read(&State::closed); }
    int data() const { return read(&State::data); }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool released = false;
        int opens = 0;
        int closed = 0;
        int data = -1;
    };
    class MemoryPort : public PortIo {
      public:
        explicit MemoryPort(std::shared_ptr<State> state) : m_state(std::move(state)) {}
        ~MemoryPort() override {
            std::lock_guard lock(m_state->mutex);
            ++m_state->closed;
        }
        int Inp(int) override { return 0x7F; }  // no input active
        void Outp(int, int value) override {
            std::lock_guard lock(m_state->mutex);
            m_state->data = value;
        }
        std::string device() const override { return "the parallel port /dev/parport0"; }

      private:
        std::shared_ptr<State> m_state;
    };

    int read(int State::*member) const {
        std::lock_guard lock(m_state->mutex);
        return (*m_state).*member;
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// Runs `step` until `done` holds, for at most 10 s of real time.
template <typename Step, typename Done>
void repeatUntil(Step step, Done done) {
    for (int i = 0; i < 10'000 && !done(); ++i) {
        step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(PortOpener, AClaimThatHangsDoesNotHoldUpTheTickAndThePortIsUsedOnceItOpens) {
    HangingOpens opens;
    PortRig rig(opens.function());
    rig.parameters.RemoteControl = 1;
    rig.parameters.AlarmRelay = 1;

    rig.relays.switchAlarmRelayOn();  // returns although the open hangs
    rig.pollFor(30);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_EQ(rig.errors.messages[0],
              "The parallel port does not answer: another program or driver may be holding it. "
              "The relays and remote inputs are idle until it is free; the program keeps waiting "
              "for it.");
    EXPECT_EQ(opens.opens(), 1);  // waited for, not opened again

    opens.release();
    repeatUntil([&] { rig.inputs.PollInputs(); }, [&] { return rig.errors.messages.size() > 1; });
    ASSERT_EQ(rig.errors.messages.size(), 2u);
    EXPECT_EQ(rig.errors.messages[1],
              "The relays and remote inputs work again on the parallel port /dev/parport0.");
    EXPECT_EQ(opens.data(), 1);  // the alarm relay switched on meanwhile reaches the port
    EXPECT_EQ(opens.opens(), 1);
    EXPECT_EQ(opens.closed(), 0);
}

TEST(PortOpener, AnOpenGivenUpClosesWhatItOpensWhenItEnds) {
    HangingOpens opens;
    {
        PortRig rig(opens.function());
        rig.parameters.RemoteControl = 1;
        rig.inputs.PollInputs();
        EXPECT_EQ(rig.errors.messages.size(), 1u);
    }  // the run ends while the open hangs
    opens.release();
    repeatUntil([] {}, [&] { return opens.closed() == 1; });
    EXPECT_EQ(opens.closed(), 1);
    EXPECT_EQ(opens.data(), -1);
}

}  // namespace
}  // namespace dvx
