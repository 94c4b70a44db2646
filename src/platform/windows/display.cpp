// The Windows side of the display: the desktop's size and a borderless window over the whole
// screen for --desktop. Windows raises no display errors a program must catch, and a window
// closed from outside already ends the engine's loop (WM_DESTROY), so those are no-ops.
#include "platform/display.h"
#include "platform/gl_buffers.h"

#include <irrlicht.h>

#include <cstdint>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace platform {
namespace {

// Without this a scaled desktop (125 %, 150 %) reports its size in scaled units, and the
// window the show draws into is stretched by the compositor instead of showing its pixels.
void drawInRealPixels() {
    static bool done = false;
    if (!done) {
        SetProcessDPIAware();
        done = true;
    }
}

} // namespace

void installDisplayErrorFilter() {
    drawInRealPixels();
}

bool desktopSize(int& width, int& height) {
    drawInRealPixels();
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    return width > 0 && height > 0;
}

void watchWindow(irr::IrrlichtDevice*) {}

void forgetWindow() {}

// The engine made a captioned window whose inside is the desktop's size; without its frame
// and moved to the monitor's corner it covers the screen exactly, with no mode switch.
void requestFullscreenState(irr::IrrlichtDevice* device) {
    const irr::video::SExposedVideoData& video = device->getVideoDriver()->getExposedVideoData();
    HWND window = static_cast<HWND>(video.OpenGLWin32.HWnd);
    if (!window)
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT& screen = monitor.rcMonitor;
    SetWindowLongPtrW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    SetWindowPos(window, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
}

void* glProcedure(const char* name) {
    // Some drivers answer a name they lack with a small number instead of null.
    PROC found = wglGetProcAddress(name);
    const auto address = reinterpret_cast<intptr_t>(found);
    if (address >= -1 && address <= 3)
        return nullptr;
    return reinterpret_cast<void*>(found);
}

} // namespace platform
