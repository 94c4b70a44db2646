// The engine's handles, taken once the device is made: non-owning, the engine owns them.
#pragma once

#include "platform/gl_buffers.h"

#include <irrlicht.h>

namespace show {

struct Engine {
    irr::IrrlichtDevice* device = nullptr;
    irr::video::IVideoDriver* driver = nullptr;
    irr::scene::ISceneManager* smgr = nullptr;
    irr::video::IGPUProgrammingServices* gpu = nullptr;
    irr::ITimer* timer = nullptr;
    irr::gui::IGUIEnvironment* gui = nullptr;
    irr::s32 width = 0; // the screen size the driver granted
    irr::s32 height = 0;
    platform::BufferFormat window; // what the driver gave the window (none on the null device)
};

} // namespace show
