// Overlay images drawn on the CPU canvas and encoded as PNG with alpha.
#include "overlays.h"

#include "font.h"
#include "look.h"

#include <algorithm>
#include <cmath>

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

// Warm accent bar: brick fading into amber, with a dark keyline under it.
void accentBar(Image& img, int x, int y, int w, int h) {
    img.fillRect(x + 2, y + 2, w, h, rgba(0, 0, 0, 140));
    for (int i = 0; i < w; ++i)
        img.fillRect(x + i, y, 1, h, mix(kBrick, kAmber, static_cast<float>(i) / w));
}

// The group's mark: a 3x3 block of squares, two of them warm bricks.
void groupMark(Image& img, int x, int y, int cell) {
    const int gap = cell / 6;
    img.fillRect(x - gap * 2, y - gap * 2, 3 * cell + gap * 4, 3 * cell + gap * 4,
                 rgba(0, 0, 0, 120));
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

Image canvas() {
    return Image(kScreenW, kScreenH);
}

Image greyOverlay() {
    Image img(kScreenW, kOverlayTallH);
    const float cx = kScreenW / 2.0f, cy = kScreenH / 2.0f;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const float dx = (x - cx) / cx, dy = (y - cy) / cy;
            const float vignette = std::clamp(std::sqrt(dx * dx + dy * dy) - 0.55f, 0.0f, 1.0f);
            const int scan = y % 3 == 0 ? 28 : 0;
            img.set(x, y,
                    rgba(26, 30, 38, std::min(230, 54 + scan + static_cast<int>(150 * vignette))));
        }
    return img;
}

Image loading() {
    Image img = canvas();
    const int cx = kScreenW / 2, cy = kScreenH / 2;
    drawTextCentered(img, cx, cy - 70, "loading", headline(8));
    constexpr int kBlocks = 12, kBlockW = 28, kGapW = 8;
    const int total = kBlocks * kBlockW + (kBlocks - 1) * kGapW;
    for (int i = 0; i < kBlocks; ++i) {
        const int x = cx - total / 2 + i * (kBlockW + kGapW);
        if (i < kBlocks / 3)
            img.fillRect(x, cy + 20, kBlockW, 12, mix(kBrick, kAmber, i / float(kBlocks / 3)));
        else
            img.frameRect(x, cy + 20, kBlockW, 12, 2, withAlpha(kSteel, 200));
    }
    drawTextCentered(img, cx, cy + 60, "cobblejay frindles", label(3, kSteel));
    return img;
}

Image groupLogo() {
    Image img = canvas();
    constexpr int kX = 90, kY = 560, kCell = 42;
    groupMark(img, kX, kY, kCell);
    const int tx = kX + 3 * kCell + 40;
    drawText(img, tx, kY - 4, "cobblejay", headline(7));
    drawText(img, tx, kY + 62, "frindles", headline(7));
    accentBar(img, tx, kY + 134, 300, 6);
    drawText(img, tx + 320, kY + 130, "presents", label(2, kIce));
    return img;
}

Image title() {
    Image img = canvas();
    const int cx = kScreenW / 2;
    constexpr int kY = 300;
    drawTextCentered(img, cx, kY, "PELOMVIN", headline(16));
    accentBar(img, cx - 300, kY + 160, 600, 8);
    drawTextCentered(img, cx, kY + 186, "a real-time audiovisual show", label(3, kIce));
    drawTextCentered(img, cx, kY + 224, "rm2009", label(3, kAmber));
    return img;
}

// Credit text: the role small and warm, the handle large; it slides down into place.
Image creditText(const std::string& role, const std::string& handle) {
    Image img = canvas();
    constexpr int kX = 90, kY = 560;
    drawText(img, kX, kY, role, label(4, kAmber));
    drawText(img, kX, kY + 48, handle, headline(11));
    accentBar(img, kX, kY + 160, textWidth(handle, headline(11)), 6);
    return img;
}

Image coderItems() {
    Image img = canvas();
    constexpr int kX = 880, kY = 500;
    drawText(img, kX, kY, "{", headline(14));
    drawText(img, kX + 250, kY, "}", headline(14));
    // Lines of "code": bars of steel and cyan, one warm.
    const int widths[] = {120, 160, 90, 140, 60, 170, 110};
    for (int i = 0; i < 7; ++i) {
        const int indent = (i == 0 || i == 6) ? 0 : (i == 3 || i == 4 ? 40 : 20);
        const Rgba c = i == 3 ? kBrick : (i % 2 ? kCyan : kSteel);
        img.fillRect(kX + 96 + indent, kY + 12 + i * 18, widths[i] - indent, 8, withAlpha(c, 220));
    }
    drawText(img, kX + 10, kY + 160, "c++ / glsl / bullet", label(2, kIce));
    return img;
}

Image musicianItems() {
    Image img = canvas();
    constexpr int kX = 880, kY = 500, kBars = 16, kBarW = 14, kBarGap = 6, kMaxH = 120;
    for (int i = 0; i < kBars; ++i) {
        const float t = i / float(kBars - 1);
        const int h = static_cast<int>(
            kMaxH * (0.25f + 0.75f * std::fabs(std::sin(t * 5.3f + 0.4f)) * (1 - 0.5f * t)));
        const int x = kX + i * (kBarW + kBarGap);
        for (int y = 0; y < h; y += 6)
            img.fillRect(x, kY + kMaxH - y - 4, kBarW, 4, mix(kAmber, kBrick, y / float(kMaxH)));
    }
    // A note: two heads joined by a beam.
    const int nx = kX + 60, ny = kY + 150;
    img.fillCircle(nx, ny + 30, 11, kIce);
    img.fillCircle(nx + 60, ny + 24, 11, kIce);
    img.fillRect(nx + 8, ny - 20, 4, 50, kIce);
    img.fillRect(nx + 68, ny - 26, 4, 50, kIce);
    img.line(nx + 10, ny - 20, nx + 70, ny - 26, 8, kIce);
    drawText(img, kX + 130, ny + 4, "mp3 / 44.1k", label(2, kIce));
    return img;
}

// Scene 7's frame: dark bands top and bottom, corner brackets, read-outs; centre open.
Image fullScreenFrame() {
    Image img = canvas();
    constexpr int kBand = 56, kInset = 24, kArm = 90, kStroke = 4;
    img.fillRect(0, 0, kScreenW, kBand, rgba(6, 8, 12, 225));
    img.fillRect(0, kScreenH - kBand, kScreenW, kBand, rgba(6, 8, 12, 225));
    img.fillRect(0, kBand, kScreenW, 2, withAlpha(kCyan, 200));
    img.fillRect(0, kScreenH - kBand - 2, kScreenW, 2, withAlpha(kCyan, 200));
    const int top = kBand + kInset, bottom = kScreenH - kBand - kInset;
    const int left = kInset, right = kScreenW - kInset;
    for (int sx : {left, right})
        for (int sy : {top, bottom}) {
            const int dx = sx == left ? 1 : -1, dy = sy == top ? 1 : -1;
            img.fillRect(dx > 0 ? sx : sx - kArm, sy - (dy > 0 ? 0 : kStroke), kArm, kStroke, kIce);
            img.fillRect(sx - (dx > 0 ? 0 : kStroke), dy > 0 ? sy : sy - kArm, kStroke, kArm, kIce);
        }
    // Ticks down both sides.
    for (int y = top + 40; y < bottom - 40; y += 24) {
        img.fillRect(left, y, 10, 2, withAlpha(kSteel, 200));
        img.fillRect(right - 10, y, 10, 2, withAlpha(kSteel, 200));
    }
    drawText(img, 24, 16, "QHV DORR", label(3, kIce));
    drawText(img, kScreenW - 24 - textWidth("07/20", label(3, kAmber)), 16, "07/20",
             label(3, kAmber));
    for (int i = 0; i < 24; ++i)
        img.fillRect(24 + i * 14, kScreenH - 34, 10, 10,
                     i % 5 == 0 ? kBrick : withAlpha(kSteel, 160));
    drawText(img, kScreenW - 24 - textWidth("cube / slices", label(2, kIce)), kScreenH - 36,
             "cube / slices", label(2, kIce));
    return img;
}

Image step(int n) {
    Image img = canvas();
    constexpr int kBlockW = 36, kBlockH = 14, kGap = 6, kY = 736;
    const int total = kSteps * kBlockW + (kSteps - 1) * kGap;
    const int x0 = kScreenW - 40 - total;
    for (int i = 0; i < kSteps; ++i) {
        const int x = x0 + i * (kBlockW + kGap);
        if (i < n) {
            img.fillRect(x + 2, kY + 2, kBlockW, kBlockH, rgba(0, 0, 0, 140));
            img.fillRect(x, kY, kBlockW, kBlockH, mix(kBrick, kAmber, i / float(kSteps - 1)));
        } else {
            img.frameRect(x, kY, kBlockW, kBlockH, 2, withAlpha(kSteel, 170));
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d", n, kSteps);
    const TextStyle s = label(3, kIce);
    drawText(img, x0 - 24 - textWidth(text, s), kY - 6, text, s);
    return img;
}

Image greeting(const std::string& group) {
    Image img = canvas();
    const int cx = kScreenW / 2;
    // High on the card: it drifts down a pixel a frame while it is on screen.
    constexpr int kY = 300;
    drawTextCentered(img, cx, kY, "greetings to", label(3, kAmber));
    const TextStyle name = headline(12);
    drawTextCentered(img, cx, kY + 44, group, name);
    accentBar(img, cx - textWidth(group, name) / 2, kY + 44 + textHeight(name) + 8,
              textWidth(group, name), 6);
    return img;
}

Image endCard() {
    Image img = canvas();
    const int cx = kScreenW / 2;
    // The end card drifts for five seconds, so it starts near the top to stay on a 720-line screen.
    constexpr int kY = 140;
    drawTextCentered(img, cx, kY, "the end", headline(14));
    accentBar(img, cx - 260, kY + 140, 520, 8);
    drawTextCentered(img, cx, kY + 166, "thanks for watching", label(3, kIce));
    drawTextCentered(img, cx, kY + 204, "cobblejay frindles * rm2009", label(3, kAmber));
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

} // namespace

const std::vector<std::string>& greetedGroups() {
    static const std::vector<std::string> groups = {"frelby",  "gossamik", "tulvane",
                                                    "mernavo", "drossik",  "plimber",
                                                    "vashtel", "quenby",   "zorrel"};
    return groups;
}

const std::vector<int>& stepNumbers() {
    static const std::vector<int> steps = {1, 2, 3, 4, 5, 6, 8, 10, 12, 15, 16};
    return steps;
}

void addOverlays(Entries& out) {
    addPng(out, "gfx/greyish_overlay1.png", greyOverlay());
    addPng(out, "gfx/1280x800/pelvin_items.png", musicianItems());
    addPng(out, "gfx/1280x800/pelvin_text.png", creditText("music", "pel00vin"));
    addPng(out, "gfx/1280x800/keldrun_items.png", coderItems());
    addPng(out, "gfx/1280x800/keldrun_text.png", creditText("code", "kELDRUN"));
    addPng(out, "gfx/1280x800/loading.png", loading());
    addPng(out, "gfx/1280x800/qhv_dorr.png", fullScreenFrame());
    for (int n : stepNumbers())
        addPng(out, "gfx/step" + std::to_string(n) + ".png", step(n));
    for (const std::string& g : greetedGroups())
        addPng(out, "gfx/top_layer/greetz/" + g + ".png", greeting(g));
    addPng(out, "gfx/top_layer/greetz/end.png", endCard());
    addPng(out, "gfx/top_layer/2pix.png", dot());
    addPng(out, "gfx/1280x800/group_logo.png", groupLogo());
    addPng(out, "gfx/1280x800/title.png", title());
    addPng(out, "gfx/top_layer/32/particle_seethrough_32.png", seeThroughTile());
    addPng(out, "gfx/top_layer/32/arrow.png", arrow());
}

void addFont(Entries& out) {
    const BitmapFont font = buildBitmapFont("blockbit_small.png");
    addText(out, "font/blockbit_small.xml", font.xml);
    addPng(out, "font/blockbit_small.png", font.texture);
}

} // namespace assetgen
