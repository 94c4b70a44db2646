// The show under test: the files the build made, the whole show's start-up options for a
// test window, and the show as start-up builds it on Irrlicht's null device.
#pragma once

#include "host/startup.h"
#include "host/timeline.h"
#include "scenes/show.h"

#include <array>
#include <cstdint>
#include <string>

namespace showtest {

// The archive and the track the build generated.
std::string builtArchive();
std::string builtTrack();

// Start-up of the whole show in a window of width x height on the virtual clock at fps, no
// vsync, with the built track. archive and the track's path must outlive start-up.
show::StartupOptions windowedShowOptions(int width, int height, int fps, const char* archive);

// The number of the scene whose interval holds position.
int sceneAt(uint32_t position);

// The whole show as start-up builds it (the archive behind its guard, the world, physics,
// effects and music, then the show start with its end mark), in a window of the size given on
// the virtual clock at fps. Returns the start-up result; the caller ends the show with
// show::shutdownShow.
show::StartupResult openShow(show::Show& show, int width, int height, int fps,
                             irr::video::E_DRIVER_TYPE driver = irr::video::EDT_OPENGL);
// The same on the engine's null device, so scene logic runs frame by frame without a window.
show::StartupResult openNullShow(show::Show& show, int fps);

// One frame of a scene through the show's own frame loop (show::runTimeline), its spectrum
// read giving `levels` and the clock's position: the scene's work before the read, after it
// and after the frame run in the loop's own order. Neither its hand-over nor its drawing runs
// (a null device has no render targets). False when the loop ran no frame: the track's end.
bool runSceneFrame(show::Show& show, const show::SceneRow& row,
                   const std::array<float, show::kSpectrumBands>& levels);

} // namespace showtest
