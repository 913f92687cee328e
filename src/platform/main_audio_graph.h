#pragma once

#include "platform/audio_event_pump.h"
#include "platform/level_tap.h"
#include "platform/mixer_output.h"
#include "platform/pass_through_output.h"
#include "platform/sample_ring.h"
#include "platform/volume_stage.h"
#include "platform/wave_input.h"
#include "platform/wave_mixer.h"
#include "platform/wave_player.h"

namespace dvx {

// The audio instances of the main window, wired as its graph, working format throughout
// (stereo, 16-bit, 44100 Hz):
//
//   WaveIn -> MMConnectorX1 (meters) -> MMRingBufferX1 -> Fader -> WaveOut1   live pass-through
//   WaveFile1, WaveFile2 -> Mixer -> WaveOut2 (+ MMConnectorX4)               fill, mixer
//   WavePlayer1 (+ MMConnectorX2), WavePlayer2 (+ MMConnectorX3)              fill, players
//
// Members keep the instance names the rest of the program uses. Threads: as each component
// says; the graph itself is built, configured and destroyed on the main thread.
struct MainAudioGraph {
    MainAudioGraph(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump);

    // The devices chosen in the parameters: `NetInDevice`, `NetOutDevice`, `Out1Device`,
    // `Out2Device`. Streams opened later use them.
    void setDevices(int netIn, int netOut, int out1, int out2);

    LevelTap MMConnectorX1;
    SampleRing MMRingBufferX1;
    VolumeStage Fader;
    LevelTap MMConnectorX2;
    LevelTap MMConnectorX3;
    LevelTap MMConnectorX4;
    WaveInput WaveIn;
    PassThroughOutput WaveOut1;
    FileSource WaveFile1;
    FileSource WaveFile2;
    WaveMixer Mixer;
    MixerOutput WaveOut2;
    WavePlayer WavePlayer1;
    WavePlayer WavePlayer2;
};

}  // namespace dvx
