// The title image and the credits line, shared by the opening's second scene and the
// landscape: the title is nudged while the bass beats, the credits line scrolls left.
#pragma once

namespace show {

struct Show;

constexpr double kTitleBeat = 3.0; // first band's beat measure above this nudges the title
constexpr int kTitleNudge = 10;    // pixels right and down while a beat lasts
constexpr int kCreditsScroll = -2; // pixels the credits line moves per frame
// The credits line starts this far right of its place, past the right edge of a 1280-wide
// screen; a wider screen parks it a screen's width away instead, past its own right edge.
constexpr int kCreditsStartOffset = 1280;

// The title's drop and beat nudge. It survives the hand-over from the opening to the
// landscape, so a nudge the opening made is undone in the landscape.
struct TitleState {
    bool nudged = false; // the title stands displaced by a beat
    long stepClock = 0;  // the clock at the drop's last one-pixel step
};

// Writes the credits line's text and parks it off the right edge, where it waits for the
// opening's second scene to scroll it in.
void writeCreditsLine(Show& show);
// Displaces the title once when a beat starts and puts it back on the first quiet frame.
void titleBeatNudge(Show& show);
void scrollCreditsLine(Show& show);

} // namespace show
