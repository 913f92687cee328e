#include "library/spot_recording.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cmath>

#include "app/graph_sensor_audio.h"
#include "common/io_error.h"
#include "common/time_text.h"
#include "recording_rig.h"
#include "sensor/level_detector.h"

namespace dvx {
namespace {

using test::RecordingRig;
using test::Sound;

std::string padded(const std::string& text, std::size_t width) {
    std::string result = text;
    result.resize(width, ' ');
    return result;
}

// A ramp: frame n holds n / 8 on both channels, so each recorded sample tells where in the feed
// it was.
Sound ramp(int seconds) {
    Sound sound{2, 44100, {}};
    for (int i = 0; i < seconds * 44100; ++i) {
        sound.samples.insert(sound.samples.end(), 2, static_cast<std::int16_t>(i / 8));
    }
    return sound;
}

bool isContinuousRamp(const Sound& sound) {
    for (std::size_t i = 1; i < sound.samples.size(); ++i) {
        const int step = sound.samples[i] - sound.samples[i - 1];
        if (step != 0 && step != 1) {
            return false;
        }
    }
    return !sound.samples.empty();
}

// Root mean square of the samples from `first` to `last`, in decibels.
double rmsDb(const std::vector<std::int16_t>& samples, std::size_t first, std::size_t last) {
    double sum = 0;
    for (std::size_t i = first; i <= last; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return 10 * std::log10(sum / static_cast<double>(last - first + 1));
}

TEST(SpotRecording, AnAutoStartRecordingOfAToneIsStoredWithItsFileAndItsLogLine) {
    const Sound tone = test::sine(1000, 3 * 44100, 10000);
    const Sound feed =
        test::joined(test::joined(test::constant(0, 2 * 44100), tone), test::constant(0, 441000));
    const double toneDb = rmsDb(tone.samples, 0, tone.samples.size() - 1);
    for (const int RecMode : {0, 1}) {
        SCOPED_TRACE(RecMode);
        RecordingRig rig(feed);
        rig.parameters.RecMode = RecMode;
        if (RecMode == 1) {
            rig.graph->WaveIn.setDevice(1);  // the sensor listens elsewhere
        }
        rig.addSpot(1, "ONE");
        rig.addSpot(2, "TWO");
        rig.recording->setAutoStart(true);
        rig.recording->cmdRecord("");
        EXPECT_EQ(rig.view.number, 3);
        EXPECT_EQ(rig.spot(3).Status, kSpotReserved);
        EXPECT_EQ(rig.recorder->sharesMainCapture(), RecMode == 0);
        rig.clock.advanceSeconds(1.9);
        EXPECT_EQ(rig.view.caption, "Ready");
        rig.clock.advanceSeconds(0.5);
        EXPECT_EQ(rig.view.caption, "Recording ");
        rig.clock.advanceSeconds(10);
        ASSERT_EQ(rig.recording->recordingState(), SpotRecording::kIdle);  // stopped by itself

        const SpotRecord stored = rig.spot(3);
        EXPECT_EQ(stored.Status, kSpotActive);
        EXPECT_EQ(stored.Name, padded("(No Name 003 ****)", 25));
        EXPECT_EQ(stored.Talent, "Dub");
        EXPECT_EQ(stored.Outcue, std::string(25, ' '));
        EXPECT_EQ(stored.Length, "5    ");  // 3 s of tone and 2 s of quiet
        EXPECT_EQ(stored.EOM, "4    ");     // the last sound 3 s in, plus a half, rounded
        for (const std::string& date : {stored.StartDate, stored.StopDate, stored.RecordDate}) {
            EXPECT_EQ(date, "12/07/26");
        }
        EXPECT_EQ(stored.RotationRef, "None");
        EXPECT_EQ(stored.SpotCat, ' ');
        EXPECT_FALSE(std::filesystem::exists(rig.recording->takePath(3)));

        const Sound take = test::readSound(rig.catalogue.wavePath(3));
        EXPECT_EQ(take.channels, RecMode + 1);
        std::size_t first = 0;
        while (first < take.samples.size() && std::abs(take.samples[first]) < 1000) {
            ++first;
        }
        std::size_t last = take.samples.size() - 1;
        while (last > first && std::abs(take.samples[last]) < 1000) {
            --last;
        }
        EXPECT_LT(first / take.channels, static_cast<std::size_t>(kFramesPerBuffer));
        EXPECT_NEAR(rmsDb(take.samples, first, last), toneDb, 0.1);
        const double quietAtTheEnd =
            static_cast<double>(take.samples.size() - 1 - last) / take.channels / 44100;
        EXPECT_GE(quietAtTheEnd, 2.0);
        EXPECT_LT(quietAtTheEnd, 2.15);

        EXPECT_EQ(rig.view.selected, std::vector<int>{3});
        const std::string time =
            formatTimeOfDay(static_cast<std::int32_t>(std::floor(rig.clock.now().secondsOfDay)));
        rig.recording->windowClosing();
        EXPECT_EQ(rig.recordLogText(), padded("(No Name 003 ****)", 25) + "    3" +
                                           std::string(9, ' ') + " 12/07/26 " + time + "\r\n");
    }
}

TEST(SpotRecording, ArmingThenStoppingFailingToArmOrClosingLeavesTheNumberFreeAndNoFile) {
    RecordingRig rig(test::constant(3000, 5 * 44100));
    rig.addSpot(1, "ONE");
    test::writeFile(rig.catalogue.wavePath(2), "the file of a spot deleted long ago");
    rig.recording->cmdRecord("");
    EXPECT_EQ(rig.spot(2).Status, kSpotReserved);
    EXPECT_TRUE(rig.view.armed);
    rig.clock.advanceSeconds(1);
    rig.recording->cmdStop();
    EXPECT_EQ(rig.spot(2).Status, kSpotFree);
    EXPECT_FALSE(rig.anyFileOf(2));
    EXPECT_EQ(rig.view.recordColour, kRecordIdle);
    EXPECT_FALSE(rig.view.armed);

    rig.backend->setInputLost(true);
    rig.recording->cmdRecord("");
    EXPECT_EQ(rig.recording->recordingState(), SpotRecording::kIdle);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_EQ(rig.errors.messages[0],
              "Virtual Feed is not available.  The recording could not start.");
    EXPECT_EQ(rig.spot(2).Status, kSpotFree);
    EXPECT_FALSE(rig.anyFileOf(2));
    EXPECT_FALSE(rig.graph->WaveIn.health().wanted);  // nobody keeps trying to start it

    // The window closes during a recording, with the line of an earlier one still pending.
    rig.backend->setInputLost(false);
    rig.log.setPending("EARLIER");
    rig.recording->cmdRecord("");
    rig.recording->cmdRecord("");
    rig.clock.advanceSeconds(2);
    rig.recording->windowClosing();
    EXPECT_EQ(rig.recording->recordingState(), SpotRecording::kIdle);
    EXPECT_EQ(rig.spot(2).Status, kSpotFree);
    EXPECT_FALSE(rig.anyFileOf(2));
    EXPECT_FALSE(rig.recorder->isOpen());
    EXPECT_EQ(rig.recordLogText(), "EARLIER 12/07/26 12:00:03\r\n");
}

TEST(SpotRecording, ARecordingAcrossMidnightKeepsItsLengthMarkAndAutomaticStop) {
    const double start = 23 * 3600 + 59 * 60 + 50;
    // By hand: recorded from 23:59:50 and stopped at 00:00:05.
    {
        RecordingRig rig(test::sine(440, 30 * 44100, 8000), start);
        rig.recording->cmdRecord("");
        rig.recording->cmdRecord("");
        rig.clock.advanceTo(5);
        EXPECT_EQ(rig.view.elapsed, "00:15");
        rig.recording->cmdStop();
        EXPECT_EQ(rig.spot(1).Length, "15   ");
        EXPECT_EQ(rig.spot(1).EOM, "16   ");  // the mark followed the time: 15, plus a half
        EXPECT_EQ(rig.spot(1).RecordDate, "12/08/26");
    }
    // Auto Start: a tone from 23:59:51 to 00:00:01 is stopped 2 s later.
    {
        RecordingRig rig(test::joined(test::constant(0, 44100), test::sine(440, 10 * 44100, 8000)),
                         start);
        rig.recording->setAutoStart(true);
        rig.recording->cmdRecord("");
        rig.clock.advanceTo(4);
        EXPECT_EQ(rig.recording->recordingState(), SpotRecording::kIdle);
        EXPECT_EQ(rig.spot(1).Length, "12   ");
        EXPECT_EQ(rig.spot(1).EOM, "10   ");
    }
}

TEST(SpotRecording, OverwriteNeedsAnActiveSpotAndReplacesItOnlyOnceStored) {
    RecordingRig rig(test::sine(440, 30 * 44100, 8000));
    rig.addSpot(1, "FIRST");
    rig.addSpot(5, "PROMO");
    rig.addSpot(6, "BUSY", kSpotReserved);
    test::writeWithProgramWriter(rig.files, rig.catalogue.wavePath(5), test::constant(1234, 44100));
    const Bytes firstRecord = encodeSpotRecord(rig.spot(1));
    const Bytes oldRecord = encodeSpotRecord(rig.spot(5));
    const std::vector<std::uint8_t> oldFile = test::fileBytes(rig.catalogue.wavePath(5));

    rig.recording->setOverwrite(true);
    rig.recording->cmdRecord("");  // no number: not spot 1
    rig.recording->cmdRecord("6");
    EXPECT_EQ(rig.errors.messages,
              (std::vector<std::string>{std::string(kOverwriteNeedsSpotMessage),
                                        std::string(kRecordedElsewhereMessage)}));
    EXPECT_EQ(rig.recording->recordingState(), SpotRecording::kIdle);
    EXPECT_EQ(encodeSpotRecord(rig.spot(1)), firstRecord);
    EXPECT_EQ(rig.spot(6).Status, kSpotReserved);

    // Cancelled, once before and once after recording began: spot 5 as it was.
    rig.recording->cmdRecord("5");
    EXPECT_EQ(rig.spot(5).Status, kSpotReserved);
    rig.recording->cmdStop();
    EXPECT_EQ(encodeSpotRecord(rig.spot(5)), oldRecord);
    rig.recording->setOverwrite(true);
    rig.recording->cmdRecord("5");
    rig.recording->cmdRecord("5");
    rig.clock.advanceSeconds(2);
    EXPECT_EQ(test::fileBytes(rig.catalogue.wavePath(5)), oldFile);
    rig.recording->windowClosing();
    EXPECT_EQ(encodeSpotRecord(rig.spot(5)), oldRecord);
    EXPECT_EQ(test::fileBytes(rig.catalogue.wavePath(5)), oldFile);
    EXPECT_FALSE(std::filesystem::exists(rig.recording->takePath(5)));

    // Stored: the name stays, the rest is new, and so is the file.
    rig.recording->setOverwrite(true);
    rig.recording->cmdRecord("5");
    rig.recording->cmdRecord("5");
    rig.clock.advanceSeconds(3);
    rig.recording->cmdStop();
    const SpotRecord stored = rig.spot(5);
    EXPECT_EQ(stored.Status, kSpotActive);
    EXPECT_EQ(stored.Name, padded("PROMO", 25));
    EXPECT_EQ(stored.Talent, "Dub");
    EXPECT_EQ(stored.RotationRef, "None");
    const Sound take = test::readSound(rig.catalogue.wavePath(5));
    EXPECT_NEAR(static_cast<double>(take.frames()), 3 * 44100, kFramesPerBuffer);
    EXPECT_NE(take.samples[1000], 1234);
    EXPECT_FALSE(rig.view.overwriteChecked);
}

TEST(SpotRecording, AFullDiskEndsTheRecordingWithoutAnEntryOrAFile) {
    test::FullDiskFiles files;
    RecordingRig rig(test::sine(440, 30 * 44100, 8000), RecordingRig::kNoon, &files);
    // A small disk of its own for the spot folder where this machine lets us mount one.
    const std::string folder = rig.paths.spotFolder().string();
    const bool mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=128k") == 0;
    if (mounted) {
        files.room = -1;
    }
    rig.recording->cmdRecord("");
    rig.recording->cmdRecord("");
    rig.clock.advanceSeconds(3);
    EXPECT_EQ(rig.recording->recordingState(), SpotRecording::kIdle);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("No space left on device"), std::string::npos)
        << rig.errors.messages[0];
    EXPECT_NE(rig.errors.messages[0].find("The recording was not kept."), std::string::npos);
    EXPECT_EQ(rig.spot(1).Status, kSpotFree);
    EXPECT_FALSE(rig.anyFileOf(1));
    if (mounted) {
        ::umount(folder.c_str());
    }
}

TEST(SpotRecording, AFullScalePeakTurnsTheGainDownAndALoudOneLimitsIt) {
    // The loud buffer comes a tenth of a second after the full-scale one.
    const Sound feed = test::joined(
        test::joined(test::joined(test::constant(-32768, 1024), test::constant(100, 4096)),
                     test::constant(20000, 1024)),
        test::constant(100, 44100));
    RecordingRig rig(feed);
    EXPECT_EQ(rig.recording->gain(), 16384);
    rig.recording->cmdRecord("");
    rig.clock.advanceSeconds(0.05);
    EXPECT_EQ(rig.recording->gain(), 0);
    rig.clock.advanceSeconds(0.5);
    EXPECT_EQ(rig.recording->gain(), 12768);  // 32768 - 20000, kept through the quiet after it
    rig.recording->setGain(16384);
    EXPECT_EQ(rig.recording->gain(), 16384);
}

// Plays the feed through the sensor's pass-through for 3 s, recording it for 2 s on the same
// (exclusive) input device when asked to, and returns what went on air.
Sound passThroughWhile(bool recording) {
    const Sound feed = test::joined(test::sine(440, 44100, 20000), ramp(3));
    RecordingRig rig(feed);
    rig.parameters.RecMode = 0;
    rig.backend->setInputExclusive(true);
    LevelDetector levels(rig.clock);
    GraphSensorAudio sensor(*rig.graph, levels);
    sensor.startCapture();
    sensor.startPassThrough();
    if (recording) {
        rig.recording->setGain(9000);
        rig.recording->cmdRecord("");
        rig.recording->cmdRecord("");
    }
    rig.clock.advanceSeconds(2);
    if (recording) {
        EXPECT_TRUE(rig.recorder->sharesMainCapture());
        rig.recording->cmdStop();
        EXPECT_EQ(rig.spot(1).Length, "2    ");
    }
    rig.clock.advanceSeconds(1);
    EXPECT_TRUE(rig.graph->WaveIn.isRunning());
    sensor.stopPassThrough();
    sensor.stopCapture();
    return test::readSound(rig.backend->outputFile(0));
}

TEST(SpotRecording, RecordingTheSensorsInputLeavesThePassThroughUntouched) {
    const Sound alone = passThroughWhile(false);
    const Sound recorded = passThroughWhile(true);
    ASSERT_GT(alone.frames(), 2u * 44100);
    EXPECT_TRUE(alone.samples == recorded.samples);
}

TEST(SpotRecording, TheSensorArmingAndDisarmingDoesNotCutARecordingOfItsInput) {
    RecordingRig rig(ramp(5));
    rig.backend->setInputExclusive(true);
    LevelDetector levels(rig.clock);
    GraphSensorAudio sensor(*rig.graph, levels);
    rig.recording->cmdRecord("");
    rig.recording->cmdRecord("");
    rig.clock.advanceSeconds(1);
    sensor.startCapture();  // the device takes one stream: the recording's is shared
    sensor.startPassThrough();
    rig.clock.advanceSeconds(1);
    sensor.stopPassThrough();
    sensor.stopCapture();
    rig.clock.advanceSeconds(1);
    rig.recording->cmdStop();
    EXPECT_EQ(rig.spot(1).Length, "3    ");
    EXPECT_TRUE(isContinuousRamp(test::readSound(rig.catalogue.wavePath(1))));
    EXPECT_FALSE(rig.graph->WaveIn.isOpen());
}

TEST(SpotRecording, ASpecificFileIsReservedOnlyWhenFree) {
    RecordingRig rig(test::constant(0, 44100));
    rig.addSpot(3, "JINGLE", kSpotReserved);
    rig.addSpot(4, "PROMO");
    using Outcome = SpecificFileAnswer::Outcome;
    for (const char* text : {"0", "901", "abc", ""}) {
        EXPECT_EQ(rig.recording->reserveSpecificFile(text, true).outcome, Outcome::EmptyTheBox);
    }
    SpecificFileAnswer answer = rig.recording->reserveSpecificFile("3", true);
    EXPECT_EQ(answer.outcome, Outcome::Taken);
    EXPECT_EQ(answer.Label1, "JINGLE Exists.");
    EXPECT_EQ(answer.Label2, kRecordedElsewhereMessage);
    answer = rig.recording->reserveSpecificFile("4", true);
    EXPECT_EQ(answer.Label1, "PROMO Exists.");
    EXPECT_EQ(answer.Label2, kDeleteFirstMessage);
    EXPECT_EQ(rig.spot(3).Status, kSpotReserved);
    EXPECT_EQ(rig.spot(4).Status, kSpotActive);

    // The import window is open: the number waits for the import.
    rig.log.setPending("OLDER");
    rig.log.entrySelected();
    EXPECT_EQ(rig.recording->reserveSpecificFile("7", true).outcome, Outcome::Reserved);
    EXPECT_EQ(rig.spot(7).Status, kSpotReserved);
    EXPECT_EQ(rig.recording->recordingState(), SpotRecording::kIdle);
    EXPECT_EQ(rig.view.number, 7);
    EXPECT_EQ(rig.recordLogText(), "OLDER 12/07/26 12:00:00\r\n");
    EXPECT_EQ(rig.recording->takeSpecificFileNumber(), 7);
    EXPECT_EQ(rig.recording->specificFileNumber(), 0);

    // It is not: this window is armed for the number.
    EXPECT_EQ(rig.recording->reserveSpecificFile("8.2", false).outcome, Outcome::Reserved);
    EXPECT_EQ(rig.recording->recordingState(), SpotRecording::kReady);
    EXPECT_EQ(rig.recording->currentSpotNumber(), 8);
    EXPECT_EQ(rig.view.caption, "Ready");
    EXPECT_TRUE(rig.recorder->isOpen());
    rig.recording->cmdStop();
    EXPECT_EQ(rig.spot(8).Status, kSpotFree);
    EXPECT_EQ(rig.recording->specificFileNumber(), 0);
}

}  // namespace
}  // namespace dvx
