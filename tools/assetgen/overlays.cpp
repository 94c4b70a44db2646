// Overlay images drawn on the CPU canvas and encoded as PNG with alpha, laid out for every
// screen from 1280x720 to 1920x1080 by the rules in look.h.
#include "overlays.h"

#include "font.h"
#include "look.h"

#include "content/asset_paths.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace assetgen {

namespace {

using namespace look;

// Text styles shared by the cards.
TextStyle headline(int pixel) {
    TextStyle s;
    s.pixel = pixel;
    s.block = pixel - std::max(1, pixel / 8);
    s.top = kWhite;
    s.bottom = kCyan;
    s.shadow = rgba(0, 0, 0, 170);
    s.shadowOffset = std::max(2, pixel / 3);
    return s;
}

TextStyle label(int pixel, Rgba color) {
    TextStyle s;
    s.pixel = pixel;
    s.block = pixel;
    s.top = color;
    s.bottom = scaled(color, 0.8f);
    s.shadow = rgba(0, 0, 0, 150);
    s.shadowOffset = std::max(1, pixel / 2);
    return s;
}

void addPng(Entries& out, const std::string& path, const Image& img) {
    addBytes(out, path, encodePng(img));
}

// How much a soft-edged span covers v: all of it inside [from, to], easing to nothing over
// `before` and `after` outside, so that a backdrop never ends in a line.
float span(float v, float from, float to, float before, float after) {
    const float feather = v < from ? before : after;
    const float outside = std::max(from - v, v - to);
    if (outside <= 0.0f)
        return 1.0f;
    if (outside >= feather)
        return 0.0f;
    const float t = 1.0f - outside / feather;
    return t * t * (3.0f - 2.0f * t);
}

// A backdrop with soft edges. A side meant to run off the screen lies outside the image.
struct Plate {
    int left, top, right, bottom;
    int featherLeft, featherRight, featherY;
    Rgba colour;
};

void plate(Image& img, const Plate& p) {
    const int y0 = std::max(0, p.top - p.featherY);
    const int y1 = std::min(img.height(), p.bottom + p.featherY);
    const int x0 = std::max(0, p.left - p.featherLeft);
    const int x1 = std::min(img.width(), p.right + p.featherRight);
    for (int y = y0; y < y1; ++y) {
        const float cy = span(y + 0.5f, p.top, p.bottom, p.featherY, p.featherY);
        for (int x = x0; x < x1; ++x)
            img.blend(x, y, p.colour,
                      cy * span(x + 0.5f, p.left, p.right, p.featherLeft, p.featherRight));
    }
}

// The dark plate that carries a card's text: solid behind the text and fading out above,
// below and, over a long way, to the right, so that it is gone well before the edge of a
// 1920-wide screen and leaves the middle of the picture to the scene. It starts right of
// the greetings' progress meter in the margin.
void cardPlate(Image& img, int top, int bottom, int solidTo, int alpha) {
    constexpr int kFeatherY = 56, kFeatherRight = 480, kLeft = 72, kFeatherLeft = 24;
    plate(img, {kLeft, top, solidTo, bottom, kFeatherLeft, kFeatherRight, kFeatherY,
                withAlpha(kNight, alpha)});
}

// A hairline that carries an accent bar on across the rest of the screen, fading out.
void trailingRule(Image& img, int x, int y, int to, Rgba colour) {
    for (int i = x; i < to; ++i) {
        const float t = float(i - x) / float(to - x);
        img.fillRect(i, y, 1, 2, withAlpha(colour, static_cast<int>(150 * (1 - t) * (1 - t))));
    }
}

// Warm accent bar: brick fading into amber, with a soft shadow under it.
void accentBar(Image& img, int x, int y, int w, int h) {
    plate(img, {x + 2, y + 2, x + w + 2, y + h + 2, 3, 3, 3, rgba(0, 0, 0, 150)});
    for (int i = 0; i < w; ++i)
        img.fillRect(x + i, y, 1, h, mix(kBrick, kAmber, static_cast<float>(i) / w));
}

// The group's mark: a 3x3 block of squares, two of them warm bricks.
void groupMark(Image& img, int x, int y, int cell) {
    const int gap = cell / 6;
    plate(img,
          {x, y, x + 3 * cell, y + 3 * cell, cell / 2, cell / 2, cell / 2, rgba(0, 0, 0, 130)});
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            const bool warm = (i == 2 && j == 0) || (i == 0 && j == 2);
            const bool hollow = i == 1 && j == 1;
            const int cx = x + i * cell, cy = y + j * cell;
            if (hollow) {
                img.frameRect(cx + gap, cy + gap, cell - 2 * gap, cell - 2 * gap, gap, kIce);
                continue;
            }
            img.fillRect(cx + gap, cy + gap, cell - 2 * gap, cell - 2 * gap,
                         warm ? (j == 0 ? kBrick : kAmber) : withAlpha(kSteel, 230));
            img.fillRect(cx + gap, cy + gap, cell - 2 * gap, gap, withAlpha(kWhite, 120));
        }
}

// The tint over whole scenes. Its centre differs from screen to screen, so it is even all
// over: a vignette would sit off-centre on every screen but one. It is a veil of scan lines,
// not a shade: on average it takes some 14 % off what lies under it.
Image greyOverlay() {
    Image img(kWideW, kWideH);
    for (int y = 0; y < img.height(); ++y) {
        const Rgba c = rgba(26, 30, 38, y % 3 == 0 ? 46 : 30);
        for (int x = 0; x < img.width(); ++x)
            img.set(x, y, c);
    }
    return img;
}

Image loading() {
    Image img(kSafeW, kSafeH);
    constexpr int kY = 290;
    drawText(img, kMargin, kY, "loading", headline(8));
    constexpr int kBlocks = 12, kBlockW = 28, kGapW = 8;
    for (int i = 0; i < kBlocks; ++i) {
        const int x = kMargin + i * (kBlockW + kGapW);
        if (i < kBlocks / 3)
            img.fillRect(x, kY + 92, kBlockW, 12, mix(kBrick, kAmber, i / float(kBlocks / 3)));
        else
            img.frameRect(x, kY + 92, kBlockW, 12, 2, withAlpha(kSteel, 200));
    }
    drawText(img, kMargin, kY + 128, "cobblejay frindles", label(3, kSteel));
    return img;
}

Image groupLogo() {
    Image img(kSafeW, kSafeH);
    // Left of the circle sculpture and below the knot, in the dark part of scene 1.
    constexpr int kY = 360, kCell = 42;
    groupMark(img, kMargin, kY, kCell);
    const int tx = kMargin + 3 * kCell + 40;
    drawText(img, tx, kY - 4, "cobblejay", headline(7));
    drawText(img, tx, kY + 62, "frindles", headline(7));
    accentBar(img, tx, kY + 134, 300, 6);
    drawText(img, tx, kY + 152, "presents", label(2, kIce));
    return img;
}

// It drops in from above and jumps by (10, 10) on the beat, so every edge stays clear.
// The drop moves it a line a frame at most and stops when scene 2 ends, some 350 lines
// short on a machine that draws 30 frames a second: the title sits low enough in its
// image for all but the top rows of its name to show even then.
Image title() {
    Image img(kSafeW, kSafeH);
    constexpr int kY = 340;
    const TextStyle name = headline(16);
    drawText(img, kMargin, kY, "PELOMVIN", name);
    const int bottom = kY + textHeight(name);
    accentBar(img, kMargin, bottom + 20, textWidth("PELOMVIN", name), 8);
    drawText(img, kMargin, bottom + 48, "a real-time audiovisual show", label(3, kIce));
    drawText(img, kMargin, bottom + 86, "rm2009", label(3, kAmber));
    return img;
}

// The credits stand in the left margin column, under the equaliser tiles that fill the top
// 416 lines of scenes 5 and 6 and clear of the sculptures, which stand in the middle of
// every screen: from x = 520 on a 1280-wide screen, from 780 on a 1920-wide one.
constexpr int kCreditTop = 436;
constexpr int kCreditItemsY = kCreditTop + 184;

// Credit text: the role small and warm, the handle large; it slides down into place on
// the plate that the credit's items image lays.
Image creditText(const std::string& role, const std::string& handle) {
    Image img(kSafeW, kSafeH);
    drawText(img, kMargin, kCreditTop, role, label(4, kAmber));
    drawText(img, kMargin, kCreditTop + 42, handle, headline(11));
    accentBar(img, kMargin, kCreditTop + 154, textWidth(handle, headline(11)), 6);
    return img;
}

// The plate of a credit, laid by its items image, which stands still while the text slides.
Image creditPlate() {
    constexpr int kBottom = kCreditItemsY + 76, kFeatherY = 32;
    Image img(kWideW, kBottom + kFeatherY + 8);
    plate(img, {-kWideW, kCreditTop - 12, 520, kBottom, 0, 200, kFeatherY, withAlpha(kNight, 150)});
    return img;
}

Image coderItems() {
    Image img = creditPlate();
    constexpr int kY = kCreditItemsY;
    drawText(img, kMargin, kY, "{", headline(8));
    drawText(img, kMargin + 150, kY, "}", headline(8));
    // Lines of "code": bars of steel and cyan, one warm.
    const int widths[] = {70, 96, 54, 84, 36, 100, 66};
    for (int i = 0; i < 7; ++i) {
        const int indent = (i == 0 || i == 6) ? 0 : (i == 3 || i == 4 ? 24 : 12);
        const Rgba c = i == 3 ? kBrick : (i % 2 ? kCyan : kSteel);
        img.fillRect(kMargin + 52 + indent, kY + 6 + i * 9, widths[i] - indent, 5,
                     withAlpha(c, 220));
    }
    drawText(img, kMargin + 220, kY + 26, "c++ / glsl / bullet", label(2, kIce));
    return img;
}

Image musicianItems() {
    Image img = creditPlate();
    constexpr int kY = kCreditItemsY, kBars = 16, kBarW = 9, kBarGap = 4, kMaxH = 66;
    for (int i = 0; i < kBars; ++i) {
        const float t = i / float(kBars - 1);
        const int h = static_cast<int>(
            kMaxH * (0.25f + 0.75f * std::fabs(std::sin(t * 5.3f + 0.4f)) * (1 - 0.5f * t)));
        const int x = kMargin + i * (kBarW + kBarGap);
        for (int y = 0; y < h; y += 5)
            img.fillRect(x, kY + kMaxH - y - 3, kBarW, 3, mix(kAmber, kBrick, y / float(kMaxH)));
    }
    // A note: two heads joined by a beam.
    const int nx = kMargin + kBars * (kBarW + kBarGap) + 24, ny = kY + 22;
    img.fillCircle(nx, ny + 30, 8, kIce);
    img.fillCircle(nx + 40, ny + 26, 8, kIce);
    img.fillRect(nx + 5, ny - 8, 3, 38, kIce);
    img.fillRect(nx + 45, ny - 12, 3, 38, kIce);
    img.line(nx + 6, ny - 8, nx + 47, ny - 12, 6, kIce);
    drawText(img, nx + 76, kY + 26, "mp3 / 44.1k", label(2, kIce));
    return img;
}

// Scene 7's frame. Only the top and left edges are the same on every screen, so the frame
// is a header across the widest screen and a ruler down the left. Under the header a faint
// cool glow hangs over the picture, brightest where the wave floor meets the sky on every
// screen's height and fading up into the dark: the sky reads as a space, not as a hole. It is
// light and thin, so it lifts the dark without dimming the puzzle's stickers.
Image fullScreenFrame() {
    Image img(kWideW, kWideH);
    constexpr int kHeader = 52, kInset = 24;
    constexpr float kHorizon = 500, kGlowSpread = 260, kGlowPeak = 30, kGlowFloor = 4;
    for (int y = kHeader; y < kWideH; ++y) {
        const float d = (y - kHorizon) / kGlowSpread;
        const float alpha = kGlowFloor + (kGlowPeak - kGlowFloor) * std::exp(-d * d);
        img.fillRect(0, y, kWideW, 1, withAlpha(kIce, static_cast<int>(alpha)));
    }
    plate(img, {-kWideW, -kHeader, 2 * kWideW, kHeader, 1, 1, 40, rgba(6, 8, 12, 220)});
    img.fillRect(0, kHeader, kWideW, 2, withAlpha(kCyan, 190));
    // A scale under the header, across every width; the tall ticks mark the 1280 field.
    for (int x = kInset; x < kWideW; x += 16) {
        const bool major = (x - kInset) % 128 == 0;
        img.fillRect(x, kHeader + 2, 2, major ? 10 : 5, withAlpha(kSteel, major ? 190 : 120));
    }
    // The ruler down the left, from the header to the bottom of the tallest screen.
    for (int y = kHeader + 40; y < kWideH; y += 24) {
        const bool major = (y - kHeader - 40) % 120 == 0;
        img.fillRect(kInset, y, major ? 18 : 10, 2, withAlpha(kSteel, major ? 190 : 120));
    }
    img.fillRect(kInset, kHeader + 24, 4, 90, kIce);
    img.fillRect(kInset, kHeader + 24, 90, 4, kIce);
    // Read-outs: the name left, the scene count right of the 1280 field.
    drawText(img, kInset, 16, "QHV DORR", label(3, kIce));
    const int nameEnd = kInset + textWidth("QHV DORR", label(3, kIce));
    for (int i = 0; i < 24; ++i)
        img.fillRect(nameEnd + 40 + i * 14, 22, 10, 10,
                     i % 5 == 0 ? kBrick : withAlpha(kSteel, 160));
    const TextStyle count = label(3, kAmber);
    const int countX = kSafeW - kInset - textWidth("07/20", count);
    drawText(img, countX, 16, "07/20", count);
    const TextStyle note = label(2, kIce);
    drawText(img, countX - 40 - textWidth("cube / slices", note), 22, "cube / slices", note);
    // A wide screen shows one more field of the header: a divider where a 1280-wide screen
    // ends, then a quiet strip of slices to the right edge.
    img.fillRect(kSafeW, 12, 2, kHeader - 24, withAlpha(kSteel, 150));
    for (int i = 0; i < 40; ++i)
        img.fillRect(kWideW - kInset - 10 - i * 14, 22, 10, 10,
                     withAlpha(i % 5 == 0 ? kBrick : kSteel, i % 5 == 0 ? 150 : 90));
    return img;
}

// The greetings' progress: a meter in the left margin, filling from the bottom, with the
// count over it. The cards pass right of it as they drift, so nothing ever covers it.
Image step(int n) {
    constexpr int kX = 28, kBlockW = 20, kBlockH = 9, kGap = 5, kBottom = 690;
    constexpr int kTop = kBottom - kSteps * (kBlockH + kGap) + kGap;
    Image img(kX + kBlockW + 40, kSafeH);
    for (int i = 0; i < kSteps; ++i) {
        const int y = kBottom - (i + 1) * (kBlockH + kGap) + kGap;
        if (i < n) {
            img.fillRect(kX + 2, y + 2, kBlockW, kBlockH, rgba(0, 0, 0, 140));
            img.fillRect(kX, y, kBlockW, kBlockH, mix(kBrick, kAmber, i / float(kSteps - 1)));
        } else {
            img.frameRect(kX, y, kBlockW, kBlockH, 2, withAlpha(kSteel, 200));
        }
    }
    const TextStyle s = label(3, kIce);
    drawText(img, kX, kTop - 12 - textHeight(s), std::to_string(n), s);
    return img;
}

// A card drifts down a pixel a frame while it is on screen, so its top edge shows too.
Image greeting(const std::string& group) {
    constexpr int kY = 300;
    Image img(kWideW, 600);
    const TextStyle name = headline(12);
    const int barY = kY + 40 + textHeight(name) + 8;
    const int nameEnd = kMargin + textWidth(group, name);
    cardPlate(img, kY - 20, barY + 20, nameEnd + 40, 140);
    drawText(img, kMargin, kY, "greetings to", label(3, kAmber));
    drawText(img, kMargin, kY + 40, group, name);
    accentBar(img, kMargin, barY, textWidth(group, name), 6);
    trailingRule(img, nameEnd + 16, barY + 2, kWideW - 40, kAmber);
    return img;
}

// The end card drifts for five seconds, some 330 lines at 60 frames a second, so it starts
// high to end on a 720-line screen.
Image endCard() {
    constexpr int kY = 100;
    Image img(kWideW, 480);
    const TextStyle big = headline(14);
    const int barY = kY + textHeight(big) + 14;
    const int textEnd = kMargin + textWidth("cobblejay frindles * rm2009", label(3, kAmber));
    cardPlate(img, kY - 20, barY + 96, textEnd + 40, 150);
    drawText(img, kMargin, kY, "the end", big);
    accentBar(img, kMargin, barY, textWidth("the end", big), 8);
    trailingRule(img, kMargin + textWidth("the end", big) + 16, barY + 3, kWideW - 40, kAmber);
    drawText(img, kMargin, barY + 28, "thanks for watching", label(3, kIce));
    drawText(img, kMargin, barY + 66, "cobblejay frindles * rm2009", label(3, kAmber));
    return img;
}

Image dot() {
    return Image(kDot, kDot, kIce);
}

Image seeThroughTile() {
    Image img(kTile, kTile);
    for (int y = 2; y < kTile - 2; ++y)
        for (int x = 2; x < kTile - 2; ++x) {
            const int edge =
                std::min(std::min(x - 2, kTile - 3 - x), std::min(y - 2, kTile - 3 - y));
            const float t = y / float(kTile);
            Rgba c = withAlpha(mix(kIce, kCyan, t), 70);
            if (edge == 0)
                c = withAlpha(kIce, 210);
            else if (edge == 1)
                c = withAlpha(kCyan, 130);
            img.set(x, y, c);
        }
    return img;
}

Image arrow() {
    Image img(kTile, kTile);
    const float c = kTile / 2.0f;
    // An upward chevron over a short stem: tile grid B climbs from the bottom.
    img.line(c - 10, c + 2, c, c - 9, 5, kAmber);
    img.line(c, c - 9, c + 10, c + 2, 5, kAmber);
    img.line(c, c - 6, c, c + 11, 5, kBrick);
    return img;
}

// A file's name without its folder and its ending.
std::string stem(const std::string& path) {
    const size_t from = path.find_last_of('/') + 1;
    return path.substr(from, path.find_last_of('.') - from);
}

} // namespace

// The show's paths name what each picture shows: gfx/step<N>.png is step N of the greetings'
// meter, a greeting card is named after its group, and the last card is the end card.
void addOverlays(Entries& out) {
    namespace asset = show::asset;
    addPng(out, asset::kGreyOverlay, greyOverlay());
    addPng(out, asset::kMusicianItems, musicianItems());
    addPng(out, asset::kMusicianText, creditText("music", "pel00vin"));
    addPng(out, asset::kCoderItems, coderItems());
    addPng(out, asset::kCoderText, creditText("code", "kELDRUN"));
    addPng(out, asset::kLoading, loading());
    addPng(out, asset::kFullScreen, fullScreenFrame());
    for (const char* path : asset::kSteps)
        addPng(out, path, step(std::stoi(stem(path).substr(std::strlen("step")))));
    // Each card's picture once: the first two cards share theirs.
    for (size_t i = 0; i + 1 < asset::kGreetings.size(); ++i)
        if (i == 0 || std::string(asset::kGreetings[i]) != asset::kGreetings[i - 1])
            addPng(out, asset::kGreetings[i], greeting(stem(asset::kGreetings[i])));
    addPng(out, asset::kGreetings.back(), endCard());
    addPng(out, asset::kRowDot, dot());
    addPng(out, asset::kGroupLogo, groupLogo());
    addPng(out, asset::kTitle, title());
    addPng(out, asset::kTile, seeThroughTile());
    addPng(out, asset::kArrow, arrow());
}

void addFont(Entries& out) {
    const std::string texture = kFontTexture;
    const BitmapFont font = buildBitmapFont(texture.substr(texture.find_last_of('/') + 1));
    addText(out, show::asset::kFont, font.xml);
    addPng(out, texture, font.texture);
}

} // namespace assetgen
