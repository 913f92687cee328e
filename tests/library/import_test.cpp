#include <gtest/gtest.h>
#include <sndfile.h>

#include <thread>

#include "common/io_error.h"
#include "import_rig.h"

namespace dvx {
namespace {

using test::ImportRig;
using test::Sound;
using test::toneBetweenSilences;

TEST(Import, PreviewMarksTheOnsetWithinOneBufferAndTheImportCutsAtTheEndMark) {
    ImportRig rig;
    const Sound source = toneBetweenSilences(2.5, 3, 2);
    ImportSession session(rig.files, 500);
    ASSERT_FALSE(session.chooseSource(rig.source("late.wav", source)));
    session.previewWhole();
    EXPECT_NEAR(static_cast<double>(*session.endMarkMs()), 5500, 24);
    EXPECT_EQ(session.highestPeak(), 10000);

    session.markFade(4000);  // "Trim" with the fader off: the file is cut there
    const ImportResult result = rig.runSession(session, test::toMusic());
    ASSERT_TRUE(result.stored) << result.message;
    const Sound written = test::readSound(rig.music.wavePath(1));
    const auto start = msToFrames(4000) - static_cast<std::int64_t>(written.frames());
    const std::int64_t onset = 110250;  // 2.5 s
    EXPECT_LE(start, onset);
    EXPECT_GT(start, onset - kImportBufferFrames);
    EXPECT_EQ(*session.startMarkMs(), framesToMs(start));
    EXPECT_TRUE(std::equal(written.samples.begin(), written.samples.end(),
                           source.samples.begin() + 2 * start));
}

TEST(Import, TheFadeFallsFromTheEndMarkAndTheSpotsEomIsItsMiddle) {
    ImportRig rig;
    SpotRecord old;
    old.Status = kSpotFree;  // deleted, its category left behind
    old.Name = "OLD PROMO";
    old.SpotCat = 'A';
    rig.spots.write(1, old);
    ImportSession session(rig.files, 500);
    ASSERT_FALSE(session.chooseSource(rig.source("bed.wav", test::constant(10000, 20 * 44100))));
    session.setFadeSeconds(fadeSecondsOf("3 Seconds"));
    session.markFade(12323);
    const ImportResult result = rig.runSession(session);
    ASSERT_TRUE(result.stored) << result.message;

    // 543444 frames to the end mark and 132300 of fade: 675744 frames, 15322 ms. EOM: (15322 -
    // 3 / 2 x 1000) / 1000 + 1 = 14.822, cut to five characters.
    const Sound written = test::readSound(rig.spots.wavePath(1));
    ASSERT_EQ(written.frames(), 675744u);
    for (const int k : {-1, 0, 33075, 66150, 99225, 132299}) {
        const double expected = k < 0 ? 10000 : 10000 * (1 - k / 132300.0);
        EXPECT_NEAR(written.samples[2 * (543444 + k)], expected, 1) << "fade frame " << k;
    }
    const SpotRecord stored = rig.spots.read(1);
    EXPECT_EQ(stored.Status, kSpotActive);
    EXPECT_EQ(stored.Name, newSpotName(1) + std::string(7, ' '));
    EXPECT_EQ(stored.Talent, "Dub");
    EXPECT_EQ(stored.Outcue, std::string(25, ' '));
    EXPECT_EQ(stored.Length, "16   ");
    EXPECT_EQ(stored.EOM, "14.82");
    EXPECT_EQ(stored.StartDate + stored.StopDate + stored.RecordDate, "12/07/2612/07/2612/07/26");
    EXPECT_EQ(stored.RotationRef, "None");
    EXPECT_EQ(stored.SpotCat, 'A');
    EXPECT_EQ(rig.log.state(), RecordLog::kPending);
    EXPECT_EQ(rig.log.pendingText(), recordLogStoredText(stored.Name, 1));
}

TEST(Import, AdjustLevelBringsTheHighestPeakTo18400OncePerPreview) {
    EXPECT_EQ(adjustedLevel(16384, 23000), 13107);  // 13107.2
    EXPECT_EQ(adjustedLevel(16384, 0), 16384);      // no peak measured: nothing to divide by
    EXPECT_EQ(adjustedLevel(16384, 100), kLevelMaximum);

    ImportRig rig;
    ImportSession session(rig.files, 500);
    const Sound source = test::joined(test::constant(0, 4410), test::constant(23000, 44100));
    ASSERT_FALSE(session.chooseSource(rig.source("hot.wav", source)));
    session.previewWhole();
    session.setAdjustLevel(true);
    EXPECT_EQ(session.planTransfer().plan->level, 13107);
    EXPECT_EQ(session.planTransfer().plan->level, 13107);  // a second import does not compound
    const ImportResult result = rig.runSession(session, test::toMusic());
    ASSERT_TRUE(result.stored) << result.message;
    EXPECT_NEAR(test::readSound(rig.music.wavePath(1)).samples.back(), 18400, 1);
    session.startPreview();
    EXPECT_EQ(session.level(), kLevelUnity);
}

TEST(Import, MusicEntryTakesTheLengthOfTheFileWrittenAndKeepsTheSlotsOwnFields) {
    ImportRig rig;
    MusicRecord old;
    old.Status = kMusicDeleted;
    old.Number = "A12";
    old.Cut = "7";
    old.Title = old.Artist = old.Album = "Old";
    old.Intro = "12";
    old.License = "ASCAP";
    old.StyleTempo = "Up";
    old.Category = "Aq";
    old.Class = 'B';
    old.Drive = 'D';
    rig.music.write(1, old);
    const auto path = rig.folder.path() / "song.mp3";
    test::writeEncoded(path, toneBetweenSilences(1, 3, 1),
                       SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, true);
    ImportSession session(rig.files, 500);
    ASSERT_FALSE(session.chooseSource(path));

    // The steps on a worker, as a window may run them; the entry on this thread.
    std::string failure;
    auto transfer = ImportTransfer::begin(
        thresholdPlan(*session.source(), 500, 0, {}, kLevelUnity), test::toMusic(),
        {rig.files, rig.clock, nullptr, nullptr, &rig.music}, failure);
    ASSERT_TRUE(transfer) << failure;
    std::thread([&] {
        while (transfer->step(4096).running) {
        }
    }).join();
    EXPECT_EQ(transfer->progress().percent(), 100);
    const ImportResult result = transfer->finish();
    ASSERT_TRUE(result.stored) << result.message;

    const Sound written = test::readSound(rig.music.wavePath(1, 'C'));
    EXPECT_NEAR(static_cast<double>(written.frames()), 3 * 44100, 2 * kImportBufferFrames + 1200);
    const std::string seconds = std::to_string(written.frames() / 44100 + 1);
    const MusicRecord stored = rig.music.read(1);
    EXPECT_EQ(stored.Status, kMusicActive);
    EXPECT_EQ(stored.Title.substr(0, 14), "(New Entry 1) ");
    EXPECT_EQ(stored.Length.substr(0, seconds.size()), seconds);
    EXPECT_EQ(stored.EOM, stored.Length);
    EXPECT_EQ(stored.Recorded, "261207");
    EXPECT_EQ(stored.Comp, kFillAllowed);
    EXPECT_EQ(stored.Drive, 'C');
    EXPECT_EQ(stored.Number + stored.Cut + stored.Artist + stored.Album + stored.Category,
              std::string(4 + 2 + 25 + 25 + 2, ' '));
    EXPECT_EQ(stored.Intro + stored.License + stored.StyleTempo, "12 ASCAP Up        ");
    EXPECT_EQ(stored.Class, 'B');
}

struct SourceKind {
    const char* name;
    int format;  // libsndfile's; 0: MPEG layer II by twolame
    bool variableRate;
    int rate;
    int channels;
    const char* extension;
};

TEST(Import, EveryKindOfSourceIsTrimmedAndStoredAtTheLengthWritten) {
    const SourceKind kinds[] = {
        {"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, false, 44100, 2, "wav"},
        {"24-bit 48 kHz", SF_FORMAT_WAV | SF_FORMAT_PCM_24, false, 48000, 2, "wav"},
        {"AU", SF_FORMAT_AU | SF_FORMAT_PCM_16, false, 44100, 2, "au"},
        {"SND mu-law mono 8 kHz", SF_FORMAT_AU | SF_FORMAT_ULAW, false, 8000, 1, "snd"},
        {"MP3 CBR", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, false, 44100, 2, "mp3"},
        {"MP3 VBR 32 kHz", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, true, 32000, 2, "mp3"},
        {"MP2 48 kHz", 0, false, 48000, 2, "mp2"},
    };
    ImportRig rig;
    int number = 0;
    for (const SourceKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const auto path = rig.folder.path() / (std::string("source.") + kind.extension);
        test::writeEncoded(path, toneBetweenSilences(1, 2, 1, 10000, kind.channels, kind.rate),
                           kind.format, kind.variableRate);
        ImportSession session(rig.files, 500);
        ASSERT_FALSE(session.chooseSource(path));
        const ImportResult result =
            rig.run(thresholdPlan(*session.source(), 500, 0, {}, kLevelUnity), test::toMusic());
        ASSERT_TRUE(result.stored) << result.message;
        EXPECT_EQ(result.number, ++number);
        const Sound written = test::readSound(rig.music.wavePath(number));
        EXPECT_EQ(written.channels, kind.channels);
        EXPECT_EQ(written.sampleRate, 44100);
        // Two seconds of tone: a buffer either side, and a codec's smearing of the edges.
        EXPECT_NEAR(static_cast<double>(written.frames()), 2 * 44100,
                    2 * kImportBufferFrames + 600);
        EXPECT_EQ(result.lengthMs, static_cast<std::int64_t>(written.frames()) * 1000 / 44100);
        EXPECT_EQ(result.Length, std::to_string(result.lengthMs / 1000 + 1));
    }
}

TEST(Import, FailuresAndRefusalsLeaveNoReservedNumberAndNoFile) {
    ImportRig rig;
    const auto tone = rig.source("tone.wav", toneBetweenSilences(2.5, 1, 1));
    auto expectNothingLeft = [&](const ImportResult& result, const std::string& why) {
        EXPECT_FALSE(result.stored);
        EXPECT_NE(result.message.find(why), std::string::npos) << result.message;
        EXPECT_NE(rig.spots.read(1).Status, kSpotReserved);
        EXPECT_EQ(rig.strayFiles(), 0);
    };
    {  // The source is gone by the time of the import: checked before a number is taken.
        ImportSession session(rig.files, 500);
        const auto gone = rig.source("gone.wav", toneBetweenSilences(0, 1, 0));
        ASSERT_FALSE(session.chooseSource(gone));
        std::filesystem::remove(gone);
        expectNothingLeft(rig.runSession(session), "gone.wav");
    }
    {  // Nothing above the threshold.
        ImportSession session(rig.files, 500);
        ASSERT_FALSE(session.chooseSource(rig.source("hiss.wav", test::constant(300, 44100))));
        expectNothingLeft(rig.runSession(session), "louder than the threshold (500)");
    }
    {  // The source shrank after its preview: nothing between the start and the end.
        ImportSession session(rig.files, 500);
        ASSERT_FALSE(session.chooseSource(tone));
        session.previewWhole();
        test::writeSound(tone, toneBetweenSilences(0, 1, 0));
        expectNothingLeft(rig.runSession(session), "between the start and the end");
    }
    {  // AutoStop must outlast the fade.
        ImportSession session(rig.files, 500);
        ASSERT_FALSE(session.chooseSource(tone));
        session.setFadeSeconds(3);
        session.setAutoStop(3);
        expectNothingLeft(rig.runSession(session), "longer than the fade");
    }
    {  // The disk fills: a number reserved through "Import to a Specific File" is freed too.
        test::FullDiskFiles fullDisk;
        fullDisk.room = 0;
        SpotRecord reserved;
        reserved.Status = kSpotReserved;
        rig.spots.write(1, reserved);
        ImportSession session(rig.files, 500);
        ASSERT_FALSE(session.chooseSource(tone));
        ImportDestination reservedSpot;
        reservedSpot.number = 1;
        reservedSpot.numberReserved = true;
        expectNothingLeft(rig.run(*session.planTransfer().plan, reservedSpot, &fullDisk),
                          "No space left on device");
        EXPECT_EQ(rig.spots.read(1).Status, kSpotFree);
    }
}

TEST(Import, ANewSourceStartsWithoutTheMarksOfTheLastAndAFadeNeedsAnEndMark) {
    ImportRig rig;
    ImportSession session(rig.files, 500);
    ASSERT_FALSE(session.chooseSource(rig.source("late.wav", toneBetweenSilences(2.5, 1, 1))));
    session.previewWhole();
    ASSERT_TRUE(session.startMarkMs());

    // Loud from its first frame: a start mark at 0 ms is a mark like any other.
    const Sound early = test::constant(8000, 3 * 44100);
    ASSERT_FALSE(session.chooseSource(rig.source("early.wav", early)));
    EXPECT_FALSE(session.startMarkMs());
    EXPECT_EQ(session.highestPeak(), 0);
    session.previewWhole();
    EXPECT_EQ(session.startMarkMs(), 0);
    session.startPreview();  // a preview begun and stopped at once: the end mark is gone
    session.setFadeSeconds(3);
    const ImportResult result = rig.runSession(session, test::toMusic());
    ASSERT_TRUE(result.stored) << result.message;
    const Sound written = test::readSound(rig.music.wavePath(1));
    EXPECT_EQ(written.samples, early.samples);  // whole, and not faded from its start
}

TEST(Import, CancelKeepsWhatASpotHasSoFarAndNothingOfMusic) {
    ImportRig rig;
    ImportSession session(rig.files, 500);
    ASSERT_FALSE(session.chooseSource(rig.source("long.wav", test::constant(8000, 10 * 44100))));
    for (const bool spot : {true, false}) {
        std::string failure;
        ImportDestination destination = spot ? ImportDestination{} : test::toMusic();
        auto transfer = ImportTransfer::begin(
            *session.planTransfer().plan, destination,
            {rig.files, rig.clock, &rig.spots, &rig.log, &rig.music}, failure);
        ASSERT_TRUE(transfer) << failure;
        transfer->step(2 * 44100);
        transfer->cancel();
        EXPECT_FALSE(transfer->step().running);
        const ImportResult result = transfer->finish();
        EXPECT_EQ(result.stored, spot) << result.message;
        if (spot) {
            EXPECT_EQ(result.Length, "3");  // the two seconds written, measured
        }
    }
    EXPECT_EQ(rig.music.read(1).Status, '\0');
    EXPECT_EQ(rig.strayFiles(), 1);  // SF0001.wav
}

}  // namespace
}  // namespace dvx
