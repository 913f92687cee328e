// Makes a station for the tests that run the real program on real sound devices:
//
//   dorvexia_test_station ROOT NETIN NETOUT OUT1 OUT2
//
// creates a data root below ROOT with the parameters (dead air after 3 s, threshold 100, armed
// at start-up, the four devices chosen by their names: "NetOut (ALSA)" through PortAudio, or
// with DORVEXIA_AUDIO=pulse by their PulseAudio names), an e-mail account, and a library of one
// 8-second tune (440 Hz at 8000, by "Null Sink Band") that program list one plays in category A.
// Prints the device indexes it chose. The devices are looked up as the program looks them up,
// so the indexes match its own.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/data_files.h"
#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "library/music_catalogue.h"
#include "platform/audio_factory.h"
#include "platform/sndfile_sound_files.h"
#include "settings/parameters.h"

namespace {

int indexOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<int>(i);
        }
    }
    std::fprintf(stderr, "dorvexia_test_station: no sound device %s\n", name.c_str());
    std::exit(1);
}

void writeBytes(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::fprintf(stderr, "dorvexia_test_station: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: dorvexia_test_station ROOT NETIN NETOUT OUT1 OUT2\n");
        return 2;
    }
    using namespace dvx;
    const Paths paths{std::filesystem::path(argv[1])};
    std::vector<std::int32_t> records(72, 0);
    {
        // Closed again before the program opens the devices.
        const auto backend = createMachineAudioBackend(chooseAudioBackendName(""));
        const std::vector<std::string> inputs = backend->inputDeviceNames();
        const std::vector<std::string> outputs = backend->outputDeviceNames();
        records[kNetInDeviceRecord - 1] = indexOf(inputs, argv[2]);
        records[kNetOutDeviceRecord - 1] = indexOf(outputs, argv[3]);
        records[kOut1DeviceRecord - 1] = indexOf(outputs, argv[4]);
        records[kOut2DeviceRecord - 1] = indexOf(outputs, argv[5]);
    }
    records[kDeadAirSecondsRecord - 1] = 3;
    records[6] = 100;  // threshold
    records[71] = 1;   // armed at start-up

    for (const auto& folder :
         {paths.programFolder(), paths.logsFolder(), paths.musicFolder(), paths.spotFolder()}) {
        std::filesystem::create_directories(folder);
    }
    writeBytes(paths.dataFile("DXParams.dat"), records.data(), 4 * records.size());
    const std::string account = "operator\r\nsecret\r\n";
    writeBytes(paths.programFile("User.dat"), account.data(), account.size());

    DataFiles files = DataFiles::open(paths);
    MusicCatalogue music(files.Music, paths);
    MusicRecord tune;
    tune.Status = kMusicActive;
    tune.Title = "Null Sink Tune";
    tune.Artist = "Null Sink Band";
    tune.Category = "A";
    tune.Length = tune.EOM = "8";
    tune.Comp = 'Y';
    music.write(1, tune);
    ProgramList(files.MusRotFileOne).add(*CategoryRecord('A'));
    SndfileSoundFiles soundFiles;
    std::vector<std::int16_t> samples(8 * 44100);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] =
            static_cast<std::int16_t>(std::lround(8000 * std::sin(2 * M_PI * 440 * i / 44100.0)));
    }
    soundFiles.createWriter(music.wavePath(1), 1)
        ->write(samples.data(), static_cast<int>(samples.size()));

    std::printf("NetInDevice %d NetOutDevice %d Out1Device %d Out2Device %d\n",
                records[kNetInDeviceRecord - 1], records[kNetOutDeviceRecord - 1],
                records[kOut1DeviceRecord - 1], records[kOut2DeviceRecord - 1]);
    return 0;
}
