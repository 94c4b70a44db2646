// Start-up and shutdown of the show, in the one fixed order every later stage relies on:
//   1 command line, device, archive, engine handles, overlay
//   2 the scene world
//   3 receiver, loading frame, timer
//   4 physics world and the late scene resources
//   5 sound output and the music (the show ends here if either fails)
//   6 post-process nodes
// then beginShow (end mark, rows cleared, playback) and the timeline.
#pragma once

#include "host/command_line.h"

namespace show {

struct Show;

constexpr int kAntiAliasSamples = 4;
constexpr int kDepthBits = 32; // the window's and every render target's depth buffer
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
    const char* archive = kArchivePath;
    const char* track = kTrackPath;
};

enum class StartupResult { Ready, NoDevice, SoundInitFailed, TrackFailed };

// Runs start-up stages 1 to 6. On NoDevice nothing else was made.
StartupResult startShow(Show& show, const StartupOptions& options);
// The show start: end mark, play position 0, row offsets cleared, playback started.
void beginShow(Show& show);
// Frees the rigid bodies, releases the device and closes the sound output.
void shutdownShow(Show& show);

// Makes X errors from the GL driver non-fatal (a swap-interval call under Xvfb raises one).
void installXErrorHandler();

} // namespace show
