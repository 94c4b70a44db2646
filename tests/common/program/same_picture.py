#!/usr/bin/env python3
"""Judges whether pictures of the show are the same frame.

The show draws the same pixels for a frame in every run (solid models in a fixed order, a
32-bit depth buffer), so two renderings of one frame by one build are the same frame only when
every pixel is identical. Pictures that went through a video encoder (--compressed) cannot be:
there a frame counts as the same when at most 5 % of its pixels differ by more than 16 in
some channel. Frames half a second apart differ in far more (8.8 % and up at 160x120).
Pictures of one frame by builds of other compilers (--allow SHARE LEVEL) may differ where a
sum rounds the other way: there a frame counts as the same when at most SHARE of its pixels
differ at all, and none by more than LEVEL in any channel. Another GL driver (another Mesa)
rasterises edges and filters textures its own way, and the show's bloom multiplies such
differences; its frame is the same picture when, shrunk to 1/N of its size by averaging
(--blocks N LEVEL), no channel differs by more than LEVEL: 64 at N = 8 passes Mesa 20 against
Mesa 22 (48 at most) and fails every pair of frames a third of a second apart (150 and up).

Usage: same_picture.py [--compressed | --allow SHARE LEVEL | --blocks N LEVEL] A B [A B ...]
One line per pair: A, B, the share of differing pixels (by more than the level that is
ignored; of the blocks with --blocks), the largest difference in any channel, the verdict. Exit status 0 when every pair
is the same frame, 1 otherwise, 2 on unreadable input.
"""
import subprocess
import sys

EXACT = (0, 0.0, 255)  # (level ignored, share allowed, largest difference allowed)
COMPRESSED = (16, 0.05, 255)


def rgb(path, shrink=1):
    scale = ["-vf", "scale=iw/%d:ih/%d:flags=area" % (shrink, shrink)] if shrink > 1 else []
    result = subprocess.run(
        ["ffmpeg", "-loglevel", "error", "-i", path] + scale +
        ["-f", "rawvideo", "-pix_fmt", "rgb24", "-"], capture_output=True)
    if result.returncode != 0 or not result.stdout:
        raise ValueError("cannot read %s" % path)
    return result.stdout


def compare(a, b, level, shrink=1):
    """(share of pixels differing by more than level, largest channel difference)"""
    first, second = rgb(a, shrink), rgb(b, shrink)
    if len(first) != len(second):
        return 1.0, 255
    differing = 0
    largest = 0
    for i in range(0, len(first), 3):
        d = max(abs(first[i] - second[i]), abs(first[i + 1] - second[i + 1]),
                abs(first[i + 2] - second[i + 2]))
        if d > level:
            differing += 1
        if d > largest:
            largest = d
    return differing / (len(first) // 3), largest


def main(args):
    level, max_share, max_largest = EXACT
    shrink = 1
    paths = args
    try:
        if args and args[0] == "--compressed":
            level, max_share, max_largest = COMPRESSED
            paths = args[1:]
        elif args and args[0] == "--allow":
            max_share, max_largest = float(args[1]), int(args[2])
            paths = args[3:]
        elif args and args[0] == "--blocks":
            shrink, max_largest, max_share = int(args[1]), int(args[2]), 1.0
            paths = args[3:] if shrink >= 1 else []
    except (IndexError, ValueError):
        paths = []
    if not paths or len(paths) % 2:
        print("usage: same_picture.py [--compressed | --allow SHARE LEVEL | --blocks N LEVEL] "
              "A B [A B ...]", file=sys.stderr)
        return 2
    all_same = True
    for a, b in zip(paths[0::2], paths[1::2]):
        try:
            share, largest = compare(a, b, level, shrink)
        except ValueError as error:
            print(error, file=sys.stderr)
            return 2
        same = share <= max_share and largest <= max_largest
        all_same = all_same and same
        print("%s %s %.6f %d %s" % (a, b, share, largest, "same" if same else "different"))
    return 0 if all_same else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
