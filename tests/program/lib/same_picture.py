#!/usr/bin/env python3
"""Judges whether pictures of the show are the same frame.

The engine draws solid objects sorted by the address of their first texture, and those
addresses change from run to run. Where two solid surfaces meet at equal depth, that order
decides which one shows, and bloom spreads the difference; so two honest renderings of one
frame may differ there. Far from the camera a 16-bit depth buffer makes such ties wide: eight
full runs drew the fountain room's far corner two ways, 1.75 % of the pixels apart at 160x120.
A frame counts as the same when at most MAX_SHARE of its pixels differ by more than LEVEL in
some channel. Frames half a second apart differ in far more (8.8 % and up at 160x120).

Usage: same_picture.py A B [A B ...]   one line per pair: share of differing pixels, verdict.
Exit status 0 when every pair is the same frame, 1 otherwise, 2 on unreadable input.
"""
import subprocess
import sys

LEVEL = 16
MAX_SHARE = 0.05


def rgb(path):
    result = subprocess.run(
        ["ffmpeg", "-loglevel", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
        capture_output=True)
    if result.returncode != 0 or not result.stdout:
        raise ValueError("cannot read %s" % path)
    return result.stdout


def differing_share(a, b):
    first, second = rgb(a), rgb(b)
    if len(first) != len(second):
        return 1.0
    differing = 0
    for i in range(0, len(first), 3):
        if (abs(first[i] - second[i]) > LEVEL or abs(first[i + 1] - second[i + 1]) > LEVEL
                or abs(first[i + 2] - second[i + 2]) > LEVEL):
            differing += 1
    return differing / (len(first) // 3)


def main(paths):
    if not paths or len(paths) % 2:
        print("usage: same_picture.py A B [A B ...]", file=sys.stderr)
        return 2
    all_same = True
    for a, b in zip(paths[0::2], paths[1::2]):
        try:
            share = differing_share(a, b)
        except ValueError as error:
            print(error, file=sys.stderr)
            return 2
        same = share <= MAX_SHARE
        all_same = all_same and same
        print("%s %s %.4f %s" % (a, b, share, "same" if same else "different"))
    return 0 if all_same else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
