#!/usr/bin/env python3
"""Measures how the show reads, scene by scene, from a strip of its frames.

It renders the whole show with a build's demo-capture at a few frames a second (the logic
runs at --fps, so every scene plays as it does on screen; only the strip's frames are drawn)
and reports per scene:
  near-black  the mean share of pixels whose luma is below 12 (out of 255)
  washed      the share of frames washed flat: mean luma above 120 with a deviation below 40
  luma        the mean luma of the scene's frames

Usage:
  look_strip.py BUILD_DIR OUT_DIR [--size WxH] [--fps N] [--every S] [--csv FILE]
  look_strip.py --analyse OUT_DIR [--fps N] [--csv FILE]
  look_strip.py --runs OUT_DIR [--fps N] [--from S] [--to S] [--level L]
  look_strip.py --sheet FILE.jpg --at T1,...,T20 OUT_DIR [--fps N]

BUILD_DIR holds demo-capture; OUT_DIR receives the PNG frames (frames a strip left there
before are removed first).
--analyse reads frames a run left in OUT_DIR. --runs reads frames taken at every frame
(demo-capture --png OUT_DIR --fps N --from S --to S) and prints the lengths of the runs of
frames whose mean luma is above L (default 64, a quarter of white over a dark picture): how
long a white flash stays bright.
--sheet tiles the strip's frames nearest the times given, one per scene, five to a row, into a
small JPEG (the README's stills).
Luma is Rec. 601 (0.299 R + 0.587 G + 0.114 B). Needs python3-numpy and python3-pil.
Exit status: 0 done, 1 failed, 2 bad command line.
"""
import argparse
import csv
import os
import pathlib
import re
import statistics
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
RATE = 44100
NEAR_BLACK = 12
WASHED_MEAN = 120
WASHED_DEVIATION = 40


def scene_starts():
    text = (ROOT / "src/content/scene_starts.h").read_text()
    body = re.search(r"kSceneStarts\s*=\s*\{([^}]*)\}", text)
    return [int(v) for v in re.findall(r"\d+", body.group(1))]


def scene_of(position, starts):
    scene = 1
    for i, start in enumerate(starts):
        if position >= start:
            scene = i + 1
    return scene


def frame_number(path):
    return int(re.search(r"(\d+)", path.stem).group(1))


def luma_figures(path):
    import numpy
    from PIL import Image
    rgb = numpy.asarray(Image.open(path).convert("RGB"), dtype=numpy.float32)
    luma = rgb[..., 0] * 0.299 + rgb[..., 1] * 0.587 + rgb[..., 2] * 0.114
    return float((luma < NEAR_BLACK).mean()), float(luma.mean()), float(luma.std())


def frames_in(folder):
    return sorted(pathlib.Path(folder).glob("frame_*.png"), key=frame_number)


def render(build, out, size, fps, every):
    capture = pathlib.Path(build) / "demo-capture"
    if not capture.exists():
        sys.exit("look_strip: no demo-capture in %s" % build)
    os.makedirs(out, exist_ok=True)
    for old in frames_in(out):  # a strip left there before; nothing else is touched
        old.unlink()
    # The track's length sets the last frame; 205 s covers the show with room to spare, and
    # demo-capture leaves out times past the end.
    count = int(205 / every)
    times = ",".join("%.3f" % (k * every) for k in range(count))
    command = [str(capture.resolve()), "--png", str(pathlib.Path(out).resolve()), "--frames",
               times, "--size", size, "--fps", str(fps)]
    if not os.environ.get("DISPLAY"):
        command = ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24 +extension GLX -noreset"
                   ] + command
    print("look_strip: rendering %d frames at %s" % (count, size), file=sys.stderr)
    if subprocess.run(command, cwd=build).returncode != 0:
        sys.exit("look_strip: demo-capture failed")


def analyse(out, fps, csv_path):
    starts = scene_starts()
    rows = {}
    frames = frames_in(out)
    if not frames:
        sys.exit("look_strip: no frames in %s" % out)
    for done, path in enumerate(frames):
        position = frame_number(path) * RATE // fps
        black, mean, deviation = luma_figures(path)
        rows.setdefault(scene_of(position, starts), []).append((black, mean, deviation))
        if done % 100 == 0:
            print("look_strip: %d of %d frames read" % (done, len(frames)), file=sys.stderr)
    table = []
    for scene in sorted(rows):
        figures = rows[scene]
        washed = sum(1 for _, m, d in figures if m > WASHED_MEAN and d < WASHED_DEVIATION)
        table.append((scene, len(figures), 100 * statistics.mean(b for b, _, _ in figures),
                      100 * washed / len(figures), statistics.mean(m for _, m, _ in figures)))
    print("scene  frames  near-black %  washed %  luma")
    for scene, count, black, washed, luma in table:
        print("%5d  %6d  %12.1f  %8.1f  %5.1f" % (scene, count, black, washed, luma))
    if csv_path:
        with open(csv_path, "w", newline="") as f:
            writer = csv.writer(f)
            writer.writerow(["scene", "frames", "near_black_pct", "washed_pct", "mean_luma"])
            for row in table:
                writer.writerow([row[0], row[1]] + ["%.2f" % v for v in row[2:]])


def runs(out, fps, start, end, level):
    lengths, current = [], 0
    for path in frames_in(out):
        t = frame_number(path) / fps
        if t < start or t >= end:
            continue
        _, mean, _ = luma_figures(path)
        if mean > level:
            current += 1
        elif current:
            lengths.append(current)
            current = 0
    if current:
        lengths.append(current)
    if not lengths:
        print("no bright frames")
        return
    print("bright runs (frames at %d fps): %s" % (fps, " ".join(map(str, lengths))))
    print("runs %d, median %.1f, most %d" % (len(lengths), statistics.median(lengths),
                                              max(lengths)))


def sheet(out, fps, times, path):
    from PIL import Image, ImageDraw
    frames = frames_in(out)
    starts = scene_starts()
    columns, cell_w, cell_h = 5, 384, 216
    rows = (len(times) + columns - 1) // columns
    canvas = Image.new("RGB", (columns * cell_w, rows * cell_h))
    draw = ImageDraw.Draw(canvas)
    for i, t in enumerate(times):
        nearest = min(frames, key=lambda p: abs(frame_number(p) / fps - t))
        picture = Image.open(nearest).convert("RGB").resize((cell_w, cell_h), Image.LANCZOS)
        x, y = (i % columns) * cell_w, (i // columns) * cell_h
        canvas.paste(picture, (x, y))
        scene = scene_of(frame_number(nearest) * RATE // fps, starts)
        draw.text((x + 6, y + 4), "%d" % scene, fill=(255, 255, 255))
    canvas.save(path, quality=82, optimize=True)
    print("look_strip: %s, %d frames, %d bytes" % (path, len(times), os.path.getsize(path)))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("dirs", nargs="+", metavar="DIR",
                        help="BUILD_DIR OUT_DIR to render, or OUT_DIR with --analyse/--runs")
    parser.add_argument("--analyse", action="store_true", help="only read frames in OUT_DIR")
    parser.add_argument("--runs", action="store_true", help="lengths of bright runs")
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--fps", type=int, default=30)
    parser.add_argument("--every", type=float, default=0.25, help="seconds between frames")
    parser.add_argument("--csv", help="also write the table as CSV")
    parser.add_argument("--from", dest="start", type=float, default=0.0)
    parser.add_argument("--to", dest="end", type=float, default=1e9)
    parser.add_argument("--level", type=float, default=64.0)
    parser.add_argument("--sheet", metavar="FILE.jpg", help="a contact sheet of the strip")
    parser.add_argument("--at", help="the sheet's times in seconds, comma-separated")
    args = parser.parse_args()
    if args.sheet and not args.at:
        parser.print_usage(sys.stderr)
        return 2
    only_read = args.analyse or args.runs or bool(args.sheet)
    if len(args.dirs) != (1 if only_read else 2) or args.fps <= 0 or args.every <= 0:
        parser.print_usage(sys.stderr)
        return 2
    out = args.dirs[-1]
    if not only_read:
        render(args.dirs[0], out, args.size, args.fps, args.every)
    if args.sheet:
        sheet(out, args.fps, [float(t) for t in args.at.split(",")], args.sheet)
    elif args.runs:
        runs(out, args.fps, args.start, args.end, args.level)
    else:
        analyse(out, args.fps, args.csv)
    return 0


if __name__ == "__main__":
    sys.exit(main())
