// Start-up and shutdown of the show, in the one fixed order every later stage relies on:
//   1 command line, device, archive, engine handles, overlay and the credits line
//   2 the scene world
//   3 receiver, loading frame, timer
//   4 physics world and the late scene resources
//   5 sound output and the music (the show ends here if either fails)
//   6 post-process nodes
// then beginShow (end mark, the scenes' state cleared, playback) and the timeline. A restart
// runs the content stages 1, 2 and 4 again, from the same list.
#pragma once

#include "core/command_line.h"

#include <EDriverTypes.h>
#include <SIrrCreationParameters.h>

#include <array>

namespace irr {
class IrrlichtDevice;
}

namespace show {

struct Show;

constexpr int kAntiAliasSamples = 4;
// The rate the demo's player skips ahead at (to a start position, after a seek, on a loop):
// the frame it lands on is the frame a capture at this rate shows there.
constexpr int kPlayerSkipFps = 60;
// The window's depth buffer, deepest first. Some drivers give a window at most 24 bits (Mesa
// from 25 on, most GPU drivers); the engine steps down by itself only on Windows. Render
// targets keep their own 32 bits where the driver gives them (kTargetDepthBits).
constexpr std::array<int, 3> kWindowDepthBits = {32, 24, 16};
constexpr const char* kArchivePath = "data.lll";
constexpr const char* kTrackPath = "track/pelomvin_track.mp3";
constexpr const wchar_t* kWindowCaption = L"pelomvin";

struct StartupOptions {
    CommandLine commandLine;
    // Virtual time: frame n of fps frames per second, no audio output (tests and capture).
    bool virtualTime = false;
    int fps = 60;
    bool vsync = true;
    // Multisample count of the window. Only the opening draws its 3D scene straight into the
    // window; every later scene reaches it through an effect's render target, which is never
    // multisampled, so a capture may trade the opening's smooth edges for speed.
    int antiAlias = kAntiAliasSamples;
    // The deepest window depth buffer to ask for; a capture asks for less to draw the show as
    // a driver that gives a window fewer bits does.
    int deepestWindowDepth = kWindowDepthBits[0];
    const char* archive = kArchivePath;
    const char* track = kTrackPath;
    // The live show only: what to do without a sound device, how late the picture runs
    // against the sound, and the player's skip rate.
    SoundMode sound = SoundMode::On;
    int pictureOffsetMs = 0;
    int skipFps = kPlayerSkipFps;
    // Fullscreen at the desktop's own size without a mode switch: a window over the whole
    // screen that asks the window manager for the fullscreen state.
    bool desktop = false;
    // The engine's null driver builds the whole show without a window: scene logic can then
    // be tested frame by frame on exactly what start-up makes.
    irr::video::E_DRIVER_TYPE driver = irr::video::EDT_OPENGL;
};

enum class StartupResult { Ready, NoDevice, SoundInitFailed, TrackFailed };

// Makes the device with the deepest window depth of kWindowDepthBits, deepest or fewer, that
// make succeeds with; null when none does. make is the engine's createDeviceEx but in tests.
using DeviceMaker = irr::IrrlichtDevice* (*)(const irr::SIrrlichtCreationParameters&);
irr::IrrlichtDevice* createDeviceSteppingDepth(irr::SIrrlichtCreationParameters params, int deepest,
                                               DeviceMaker make);

// Runs start-up stages 1 to 6. On NoDevice nothing else was made.
StartupResult startShow(Show& show, const StartupOptions& options);
// The show start: end mark, play position 0, the scenes' state as new, the engine's random
// generator back at its seed. Playback is the caller's (the player starts it where it lands).
void beginShow(Show& show);
// Takes the show back to the state start-up left it in, on the same device and music: every
// body, node, animator, light and overlay element the scenes made or moved is gone and made
// anew. The effect nodes stay. Then beginShow.
void restartShow(Show& show);
// Frees the rigid bodies, releases the device and closes the sound output.
void shutdownShow(Show& show);

} // namespace show
