#!/usr/bin/env python3
"""Judges whether pictures of the show are the same frame.

The show draws the same pixels for a frame in every run (solid models in a fixed order, a
32-bit depth buffer), so two renderings of one frame are the same frame only when every
pixel is identical. Pictures that went through a video encoder (--compressed) cannot be:
there a frame counts as the same when at most 5 % of its pixels differ by more than 16 in
some channel. Frames half a second apart differ in far more (8.8 % and up at 160x120).

Usage: same_picture.py [--compressed] A B [A B ...]
One line per pair: share of differing pixels, verdict. Exit status 0 when every pair is the
same frame, 1 otherwise, 2 on unreadable input.
"""
import subprocess
import sys

EXACT = (0, 0.0)  # (level, share): any pixel that differs at all
COMPRESSED = (16, 0.05)


def rgb(path):
    result = subprocess.run(
        ["ffmpeg", "-loglevel", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
        capture_output=True)
    if result.returncode != 0 or not result.stdout:
        raise ValueError("cannot read %s" % path)
    return result.stdout


def differing_share(a, b, level):
    first, second = rgb(a), rgb(b)
    if len(first) != len(second):
        return 1.0
    differing = 0
    for i in range(0, len(first), 3):
        if (abs(first[i] - second[i]) > level or abs(first[i + 1] - second[i + 1]) > level
                or abs(first[i + 2] - second[i + 2]) > level):
            differing += 1
    return differing / (len(first) // 3)


def main(args):
    level, max_share = EXACT
    paths = args
    if args and args[0] == "--compressed":
        level, max_share = COMPRESSED
        paths = args[1:]
    if not paths or len(paths) % 2:
        print("usage: same_picture.py [--compressed] A B [A B ...]", file=sys.stderr)
        return 2
    all_same = True
    for a, b in zip(paths[0::2], paths[1::2]):
        try:
            share = differing_share(a, b, level)
        except ValueError as error:
            print(error, file=sys.stderr)
            return 2
        same = share <= max_share
        all_same = all_same and same
        print("%s %s %.6f %s" % (a, b, share, "same" if same else "different"))
    return 0 if all_same else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
