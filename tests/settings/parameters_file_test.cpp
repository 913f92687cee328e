#include "settings/parameters_file.h"

#include <gtest/gtest.h>

#include "common/paths.h"
#include "settings/preferences_records.h"
#include "settings/program_list_records.h"
#include "settings/settings_test_support.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

class ParametersFileTest : public test::SettingsTest {
  protected:
    std::filesystem::path file() const { return paths.dataFile("DXParams.dat"); }
    void store(const Bytes& bytes) const {
        test::writeFile(file(), std::string(bytes.begin(), bytes.end()));
    }
};

// The record orders as the file's users have always walked it, spelled out afresh.
std::vector<int> weekdays(int base) {
    std::vector<int> records;
    for (int day = 1; day <= 7; ++day) {
        records.insert(records.end(), {base + day, base + 7 + day, base + 14 + day});
    }
    return records;
}

std::vector<int> concat(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const std::vector<int> kSlots = {29, 30, 31, 32, 33, 34};

TEST_F(ParametersFileTest, StartupLoadPutsEveryRecordInItsField) {
    std::map<int, std::int32_t> stored;
    for (int record = 1; record <= 72; ++record) {
        stored[record] = 100 + record;
    }
    stored[2] = 1;      // Alarm Only
    stored[44] = 1;     // Use Mixer
    stored[48] = -1;    // unused records hold anything
    stored[7] = 70000;  // too big for the 16-bit threshold
    stored[39] = -70000;
    stored[53] = 40000;  // TimedDayEnabled of Wednesday
    store(test::parameterFileBytes(72, stored));

    Parameters p;
    const StartupLoad load = loadParametersAtStartup(paths, p);
    EXPECT_EQ(load.caption, "Dorvexia Alarm Only");
    EXPECT_TRUE(p.AlarmOnly);
    EXPECT_TRUE(p.UseMixer);
    EXPECT_EQ(load.devices.NetInDevice, 104);
    EXPECT_EQ(load.devices.Out1Device, 105);
    EXPECT_EQ(load.devices.Out2Device, 106);
    EXPECT_EQ(load.devices.NetOutDevice, 135);
    EXPECT_EQ(p.DeadAirSeconds, 101);
    EXPECT_EQ(p.AlarmRelay, 103);
    EXPECT_EQ(p.Threshold, 32767);
    EXPECT_EQ(p.RecStopDelay, -32768);
    EXPECT_EQ(p.TimedDayEnabled[4], 32767);
    EXPECT_EQ((std::array{p.AltDayEnabled[1], p.AltStart[1], p.AltStop[7]}),
              (std::array{108, 115, 128}));
    EXPECT_EQ(p.ProgramEvent, (std::array<std::int32_t, 7>{0, 129, 130, 131, 132, 133, 134}));
    EXPECT_EQ((std::array{p.PageOnAlarm, p.EmailOnAlarm, p.RemoteControl}),
              (std::array{136, 137, 138}));
    EXPECT_EQ((std::array<int, 4>{p.RecAutoStart, p.AudOutDevice, p.AudInDevice, p.RecMode}),
              (std::array{140, 141, 142, 143}));
    EXPECT_EQ((std::array{p.EmailOnEnd, p.PageOnEnd, p.WeeklyTest}), (std::array{145, 146, 147}));
    EXPECT_EQ((std::array<int, 3>{p.TimedDayEnabled[1], p.TimedStart[1], p.TimedStop[7]}),
              (std::array{150, 157, 170}));
    EXPECT_EQ((std::array{p.RebootOnAlarm, p.AutoRun}), (std::array{171, 172}));
}

TEST_F(ParametersFileTest, AlarmOnlyIsOneAndUseMixerKeepsItsValueForAnythingButZeroOrOne) {
    test::SpyRecords records;
    Parameters p;
    records.values = {{2, 2}, {44, 1}};
    EXPECT_EQ(loadParametersAtStartup(records, p).caption, "Dorvexia Alarm/Fill");
    EXPECT_FALSE(p.AlarmOnly);
    EXPECT_TRUE(p.UseMixer);
    records.values[44] = 7;
    loadParametersAtStartup(records, p);
    EXPECT_TRUE(p.UseMixer);
    records.values[44] = 0;
    loadParametersAtStartup(records, p);
    EXPECT_FALSE(p.UseMixer);
    records.values[44] = -1;  // a true flag in memory is not a true flag on disk
    loadParametersAtStartup(records, p);
    EXPECT_FALSE(p.UseMixer);
}

TEST_F(ParametersFileTest, TornFileIsReadInPlaceReportedAndLeftAlone) {
    // Records 1 and 2 whole, then two bytes of record 3.
    const Bytes torn = {7, 0, 0, 0, 1, 0, 0, 0, 0x05, 0x01};
    store(torn);
    Parameters p;
    const StartupLoad load = loadParametersAtStartup(paths, p);
    EXPECT_EQ(p.DeadAirSeconds, 7);
    EXPECT_TRUE(p.AlarmOnly);
    EXPECT_EQ(p.AlarmRelay, 0x0105);
    EXPECT_EQ(p.Threshold, 0);
    ASSERT_TRUE(load.warning);
    EXPECT_NE(load.warning->find("10 bytes"), std::string::npos) << *load.warning;
    EXPECT_EQ(test::fileBytes(file()), torn);

    EXPECT_EQ(reloadParameters(paths, p), "Dorvexia Alarm Only");
    EXPECT_EQ(test::fileBytes(file()), torn);
}

TEST_F(ParametersFileTest, EachStepWalksItsRecordsInItsOrder) {
    const std::vector<int> startupOrder =
        concat({{1, 2, 3, 4, 35, 5, 6, 7, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47},
                weekdays(7),
                kSlots,
                weekdays(49),
                {71, 72}});
    const std::vector<int> preferencesRead =
        concat({{1, 2, 4, 35, 5, 6, 7, 36, 37, 38, 3, 39, 40, 41, 42, 43, 44, 45, 46, 47},
                weekdays(49),
                {71, 72}});
    const std::vector<int> preferencesWrite =
        concat({{1, 2, 3, 4, 35, 5, 6, 7, 36, 37, 38, 39, 40, 41, 42, 43, 44},
                weekdays(49),
                {45, 46, 47, 71, 72}});
    const std::vector<int> programLists = concat({weekdays(7), kSlots});
    const std::vector<int> reload = concat({{1, 2, 3, 7, 36, 37, 38}, weekdays(7), kSlots});

    Parameters p;
    test::SpyRecords startup;
    loadParametersAtStartup(startup, p);
    EXPECT_EQ(startup.reads, startupOrder);
    EXPECT_TRUE(startup.writes.empty());

    test::SpyRecords preferences;
    writePreferencesRecords(preferences, readPreferencesRecords(preferences), p);
    EXPECT_EQ(preferences.reads, preferencesRead);
    EXPECT_EQ(preferences.writes, preferencesWrite);

    test::SpyRecords lists;
    writeProgramListRecords(lists, readProgramListRecords(lists));
    EXPECT_EQ(lists.reads, programLists);
    EXPECT_EQ(lists.writes, programLists);

    test::SpyRecords reloaded;
    reloadParameters(reloaded, p);
    EXPECT_EQ(reloaded.reads, reload);
    EXPECT_TRUE(reloaded.writes.empty());
}

TEST_F(ParametersFileTest, PreferencesSaveWritesWholeRecordsAndSparesFortyEightAndFortyNine) {
    PreferencesRecords values;
    values.DeadAirSeconds = 15;
    values.AlarmOnly = 1;
    values.NetInDevice = 2;
    values.NetOutDevice = 3;
    values.Threshold = -300;
    values.UseMixer = 1;
    values.TimedStart[7] = 23 * 3600 + 59 * 60 + 59;
    values.AutoRun = 1;

    Parameters p;
    p.DeadAirSeconds = 10;
    {
        ParameterFile fresh(paths);
        writePreferencesRecords(fresh, values, p);
    }
    EXPECT_EQ(
        test::fileBytes(file()),
        test::parameterFileBytes(
            72, {{1, 15}, {2, 1}, {4, 2}, {35, 3}, {7, -300}, {44, 1}, {63, 86399}, {72, 1}}));
    // The sensor takes the new values at once, all but the dead-air delay.
    EXPECT_EQ(p.DeadAirSeconds, 10);
    EXPECT_TRUE(p.AlarmOnly);
    EXPECT_EQ(p.Threshold, -300);
    EXPECT_TRUE(p.UseMixer);
    EXPECT_EQ(p.TimedStart[7], 86399);
    EXPECT_EQ(p.AutoRun, 1);

    store(test::parameterFileBytes(72, {{48, 0x11223344}, {49, -5}}));
    {
        ParameterFile existing(paths);
        writePreferencesRecords(existing, values, p);
        EXPECT_EQ(readPreferencesRecords(existing).TimedStart[7], 86399);
    }
    EXPECT_EQ(test::fileBytes(file()), test::parameterFileBytes(72, {{1, 15},
                                                                     {2, 1},
                                                                     {4, 2},
                                                                     {35, 3},
                                                                     {7, -300},
                                                                     {44, 1},
                                                                     {48, 0x11223344},
                                                                     {49, -5},
                                                                     {63, 86399},
                                                                     {72, 1}}));
}

TEST_F(ParametersFileTest, ProgramListsKeepBlankTimesAndTheReloadBringsTheSensorUpToDate) {
    store(test::parameterFileBytes(
        47, {{1, 20}, {2, 0}, {15, 3600}, {22, 7200}, {16, 100}, {23, 200}, {47, 1}}));
    {
        ParameterFile lists(paths);
        ProgramListRecords values = readProgramListRecords(lists);
        EXPECT_EQ(values.AltStart[1], 3600);
        EXPECT_EQ(values.AltStop[2], 200);
        values.AltDayEnabled[1] = 1;
        values.AltStart[1].reset();  // blank boxes
        values.AltStop[2].reset();
        values.AltStop[1] = 0;  // midnight is a time, not a blank
        values.ProgramEvent[2] = 9005;
        writeProgramListRecords(lists, values);
    }
    EXPECT_EQ(test::fileBytes(file()),
              test::parameterFileBytes(
                  47, {{1, 20}, {8, 1}, {15, 3600}, {16, 100}, {23, 200}, {30, 9005}, {47, 1}}));

    Parameters p;
    EXPECT_EQ(reloadParameters(paths, p), "Dorvexia Alarm/Fill");
    EXPECT_EQ(p.DeadAirSeconds, 20);
    EXPECT_EQ(p.AltDayEnabled[1], 1);
    EXPECT_EQ(p.AltStart[1], 3600);
    EXPECT_EQ(p.AltStop[1], 0);
    EXPECT_EQ(p.ProgramEvent[2], 9005);
    EXPECT_EQ(p.WeeklyTest, 0);  // not part of the reload
}

TEST(ProgramEvent, TypedTextIsComparedAsTextAndShownBack) {
    EXPECT_EQ(programEventValue("10"), 10);
    EXPECT_EQ(programEventValue("800"), 800);
    EXPECT_EQ(programEventValue("9200"), 9200);
    EXPECT_EQ(programEventValue("1"), 1);
    EXPECT_EQ(programEventValue("12345"), 12345);  // below "9200" as text
    for (const char* refused : {"95", "9500", "", " 10", "0", "A", "1a", "5.5", "99999999999"}) {
        EXPECT_EQ(programEventValue(refused), 0) << refused;
    }

    EXPECT_EQ(programEventText(0), "");
    EXPECT_EQ(programEventText(10), "10");
    EXPECT_EQ(programEventText(9199), "9199");
    EXPECT_EQ(programEventText(9200), "");
    EXPECT_EQ(programEventText(10000), "");
    EXPECT_EQ(programEventText(-3), "");
    EXPECT_EQ(programEventText(10065), "A");
    EXPECT_EQ(programEventText(10000 + 0xE9), "\xE9");
    EXPECT_EQ(programEventText(10000 + 0x100), "");
}

}  // namespace
}  // namespace dvx
