// The desktop and the show's window as the operating system sees them. The engine makes the
// window; what it leaves to the system (errors raised by the display server, losing the
// window, the desktop's size, a fullscreen request to the window manager) is asked here.
#pragma once

namespace irr {
class IrrlichtDevice;
}

namespace platform {

// Makes the display server's errors non-fatal: the GL driver raises one under Xvfb on the
// swap-interval call. The one known to be harmless is not reported; any other gets one line
// on standard error, for the first few.
void installDisplayErrorFilter();
// The desktop's own size; false without a display.
bool desktopSize(int& width, int& height);
// Losing the window from outside (closed by another program, the connection killed) stops the
// device the way closing it does, so the show ends through its own shutdown.
void watchWindow(irr::IrrlichtDevice* device);
// Stops watching: the device is about to be released.
void forgetWindow();
// Asks the window manager to show the window fullscreen; the video mode stays as it is.
void requestFullscreenState(irr::IrrlichtDevice* device);

} // namespace platform
