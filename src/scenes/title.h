// The title image and the credits line, shared by the opening's second scene and the
// landscape: the title is nudged while the bass beats, the credits line scrolls left.
#pragma once

namespace show {

struct Show;

constexpr double kTitleBeat = 3.0; // first band's beat measure above this nudges the title
constexpr int kTitleNudge = 10;    // pixels right and down while a beat lasts
constexpr int kCreditsScroll = -2; // pixels the credits line moves per frame

// Displaces the title once when a beat starts and puts it back on the first quiet frame;
// the flag in show.scene survives the hand-over from the opening to the landscape.
void titleBeatNudge(Show& show);
void scrollCreditsLine(Show& show);

} // namespace show
