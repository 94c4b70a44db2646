// The show under test: the files the build made, the whole show's start-up options for a
// test window, and the show as start-up builds it on Irrlicht's null device, so scene logic
// can run frame by frame without a window.
#pragma once

#include "host/show.h"
#include "host/startup.h"

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

// Fills show.engine from a null device of the show's default size, mounts the built archive,
// puts show.time on a virtual clock of fps frames a second ending at endMark, and builds the
// show's objects. Returns whether the archive mounted; without it the models are missing and
// their handles stay null, as in a show without its content. The caller frees the rigid
// bodies (clearPhysics) and drops the device.
bool openNullShow(show::Show& show, int fps, uint32_t endMark);

} // namespace showtest
