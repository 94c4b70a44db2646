#!/usr/bin/env bash
# Checks the Windows programs under wine (Debian's wine64) on a private Xvfb with Mesa's
# llvmpipe, against the Linux build of the same tree:
#
#   scripts/release/check-windows.sh [--bench] WINDIR LINUX_BUILD
#
# WINDIR holds what windows-build.sh leaves (demo.exe, demo-capture.exe, their DLLs);
# LINUX_BUILD is a normal build folder (demo-capture, data.lll, track/, the musicgen tool).
#   - the launch line, exactly;
#   - a short track played to its end, status 0 (SDL's dummy sound driver);
#   - Escape ends the show at once, status 0;
#   - with no sound device (wine here has none): the error line and status 1; with
#     --sound auto the show plays silently to its end, status 0;
#   - demo-capture.exe without ffmpeg: one line, status 1; with a stand-in ffmpeg.exe beside
#     it (built here, it records what it gets): every frame's bytes reach its standard input;
#   - frames: demo-capture.exe --png against the Linux demo-capture at the same times (two in
#     each of the twenty scenes), the share of differing pixels per frame, and for the frame
#     that differs most an amplified difference image.
# --bench also runs demo-capture --bench of both, back to back, and prints the ratio per scene
# (a measurement, never a failure). Results and pictures go to CHECK_WINDOWS_OUT (default
# build-windows/check). Exit status 0 when every check passed, 1 otherwise, 2 on a bad line.
set -euo pipefail

bench=0
if [ "${1:-}" = --help ] || [ "${1:-}" = -h ]; then
    sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
fi
if [ "${1:-}" = --bench ]; then
    bench=1
    shift
fi
if [ $# -ne 2 ]; then
    echo "usage: $0 [--bench] WINDIR LINUX_BUILD (try --help)" >&2
    exit 2
fi
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
WIN="$(cd "$1" && pwd)"
LIN="$(cd "$2" && pwd)"
OUT="${CHECK_WINDOWS_OUT:-$ROOT/build-windows/check}"
CACHE="${PELOMVIN_CACHE:-$HOME/.cache/pelomvin}"
for f in "$WIN/demo.exe" "$WIN/demo-capture.exe" "$LIN/demo-capture" "$LIN/data.lll" \
    "$LIN/track/pelomvin_track.mp3" "$LIN/tools/musicgen/musicgen"; do
    [ -e "$f" ] || {
        echo "check-windows: $f is missing" >&2
        exit 2
    }
done

# --- wine and a display -------------------------------------------------------------------------
need=()
command -v wine64 >/dev/null || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
command -v xvfb-run >/dev/null || need+=(xvfb xauth)
command -v xdotool >/dev/null || need+=(xdotool)
command -v ffmpeg >/dev/null || need+=(ffmpeg)
dpkg-query -W -f='${Status}' libgl1-mesa-dri 2>/dev/null | grep -q 'ok installed' ||
    need+=(libgl1-mesa-dri)
if [ ${#need[@]} -gt 0 ]; then
    echo "check-windows: installing ${need[*]}" >&2
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        "${need[@]}" >&2
fi
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)

if [ -z "${CHECK_WINDOWS_DISPLAY:-}" ]; then
    export CHECK_WINDOWS_DISPLAY=1
    again=("$WIN" "$LIN")
    [ $bench -eq 0 ] || again=(--bench "${again[@]}")
    exec xvfb-run -a -s '-screen 0 1280x1024x24 +extension GLX -noreset' "$0" "${again[@]}"
fi

export WINEPREFIX="$CACHE/wine-prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs, and no sound device: wine's own drivers for the host's
# sound stacks are off, as on a Windows machine without one. (With them, this machine has no
# card either, and the host's ALSA library, below Windows, writes its complaints straight to
# the process's Unix standard error, where no Windows program can quiet them.)
export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv,wineoss.drv="
export LIBGL_ALWAYS_SOFTWARE=1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "check-windows: making the wine prefix $WINEPREFIX" >&2
    "$WINE" wineboot -i >/dev/null 2>&1 || true
fi

mkdir -p "$OUT"
WORK="$(mktemp -d)"
cleanup() {
    local pids
    pids=$(jobs -p)
    [ -z "$pids" ] || kill $pids 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
failures=0
check() { # NAME CONDITION...
    local name=$1
    shift
    if "$@"; then echo "ok: $name"; else
        echo "FAILED: $name"
        failures=$((failures + 1))
    fi
}
# The run folder as an archive has it, with a track of $1 seconds from the tree's composer.
make_run_folder() {
    rm -rf "$WORK/run"
    mkdir -p "$WORK/run/track"
    cp "$WIN"/*.exe "$WIN"/*.dll "$LIN/data.lll" "$WORK/run/"
    "$LIN/tools/musicgen/musicgen" --seconds "$1" "$WORK/run/track/pelomvin_track.mp3" \
        >/dev/null 2>&1
    cd "$WORK/run"
}
run() { # ENV... -- status into $status, output into $WORK/out and $WORK/err
    set +e
    env "$@" >"$WORK/out" 2>"$WORK/err"
    status=$?
    set -e
}

# --- the show -----------------------------------------------------------------------------------
make_run_folder 8
start=$SECONDS
run SDL_AUDIODRIVER=dummy timeout 120 "$WINE" demo.exe 320 240 w
took=$((SECONDS - start))
echo "  demo.exe 320 240 w, 8 s track: status $status after ${took} s; standard output:" \
    "$(od -c "$WORK/out" | sed -n '1,3p' | tr -s ' ' | tr '\n' ' ')"
# The C runtime writes text mode on Windows: the new line is CR LF there.
printf '\r\nLauncing demo with res: 320x240 window mode' >"$WORK/expected"
check "the launch line is exact (CR LF on Windows)" cmp -s "$WORK/out" "$WORK/expected"
check "an 8 s track plays to its end with status 0 (status $status)" test "$status" -eq 0
check "it plays for the track's length (${took} s)" test "$took" -ge 7
check "nothing on standard error" test ! -s "$WORK/err"

run timeout 120 "$WINE" demo.exe 320 240 w
echo "  with no sound device: status $status, standard error: $(cat "$WORK/err")"
check "no sound device: status 1 (status $status)" test "$status" -eq 1
check "no sound device: the exact error line" \
    test "$(tr -d '\r' <"$WORK/err")" = "[ERROR] Could not initialise fmod"

start=$SECONDS
run timeout 120 "$WINE" demo.exe 320 240 w --sound auto
took=$((SECONDS - start))
echo "  --sound auto: status $status after ${took} s, standard error: $(cat "$WORK/err")"
check "--sound auto plays silently to the end, status 0 (status $status)" test "$status" -eq 0
check "--sound auto plays the track's length (${took} s)" test "$took" -ge 7

make_run_folder 60
SDL_AUDIODRIVER=dummy "$WINE" demo.exe 320 240 w >/dev/null 2>"$WORK/err" &
pid=$!
window=$(timeout 60 xdotool search --sync --name pelomvin | head -n 1 || true)
sleep 2
if [ -n "$window" ]; then
    # Held, not tapped, and to the focused window: wine takes no synthetic (sent) key events.
    xdotool windowfocus --sync "$window" keydown Escape || true
fi
set +e
pressed=$SECONDS
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
xdotool keyup Escape 2>/dev/null
if kill -0 "$pid" 2>/dev/null; then
    escaped=no
    kill "$pid"
else escaped=yes; fi
wait "$pid"
status=$?
set -e
echo "  Escape: window ${window:-not found}, ended: $escaped within $((SECONDS - pressed)) s, status $status"
check "Escape ends the show at once (within 10 s of 60)" test "$escaped" = yes
check "Escape: status 0 (status $status)" test "$status" -eq 0

SDL_AUDIODRIVER=dummy "$WINE" demo.exe --desktop >"$WORK/out" 2>"$WORK/err" &
pid=$!
window=$(timeout 60 xdotool search --sync --name pelomvin | head -n 1 || true)
sleep 3
geometry=$([ -n "$window" ] && xdotool getwindowgeometry "$window" | tr -s ' \n' ' ' || true)
screen=$(xdpyinfo 2>/dev/null | sed -n 's/^ *dimensions: *\([0-9x]*\) .*/\1/p')
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "  --desktop: launch line '$(tr -d '\r' <"$WORK/out" | tr '\n' ' ')', window: $geometry, screen $screen"
check "--desktop: a window at 0,0 the size of the screen ($screen)" \
    grep -q "Position: 0,0 .*Geometry: $screen" <<<"$geometry"

# The launcher, as the archive carries it: the user's size replaces the desktop's, sound
# stays "auto" (wine here has no sound device, so the show plays silently); an error keeps
# its window open with a line saying so.
make_run_folder 8
sed 's/$/\r/' "$ROOT/scripts/release/launcher.bat" >run.bat
start=$SECONDS
run timeout 120 "$WINE" cmd /c run.bat 320 240 w </dev/null
took=$((SECONDS - start))
echo "  run.bat 320 240 w: status $status after ${took} s; $(tr -d '\r' <"$WORK/out" | tr '\n' ' ')"
check "run.bat 320 240 w plays the track to its end in a window, status 0 (status $status)" \
    test "$status" -eq 0 -a "$took" -ge 7
check "run.bat passes the user's size instead of the desktop's" \
    grep -q 'Launcing demo with res: 320x240 window mode' "$WORK/out"
run timeout 60 "$WINE" cmd /c run.bat 320 240 w --scene 99 </dev/null
echo "  run.bat with a bad word: status $status; $(cat "$WORK/out" "$WORK/err" | tr -d '\r' | tr '\n' ' ')"
check "run.bat with a bad word: the program's status (2) and a line asking for a key" \
    sh -c "test $status -eq 2 && tr -d '\r' <'$WORK/out' | grep -q 'Press a key to close'"

# --- demo-capture.exe ---------------------------------------------------------------------------
# What the driver gave wine's window, in the benchmark's first line; what it lacked, one line.
cp "$LIN/track/pelomvin_track.mp3" track/pelomvin_track.mp3
run timeout 300 "$WINE" demo-capture.exe --bench --size 160x120 --fps 10 --from 16 --to 16.5 \
    --csv b.csv --chart b.png
buffers=$(tr -d '\r' <"$WORK/out" | grep -m1 '^window: ' || true)
lacks=$(tr -d '\r' <"$WORK/err" | grep 'the window got' || true)
echo "  demo-capture.exe --bench: ${buffers:-no buffers line}${lacks:+; standard error: $lacks}"
check "demo-capture.exe --bench says what depth and multisampling it got" test -n "$buffers"
check "... and names a multisampling it lacked in one line" \
    sh -c "echo '$buffers' | grep -q ', 4x multisampling' || test -n '$lacks'"
cp "$LIN/track/pelomvin_track.mp3" track/pelomvin_track.mp3
run PATH=/usr/bin:/bin timeout 120 "$WINE" demo-capture.exe --size 320x240 --from 1 --to 2 \
    --out "$WORK/x.mp4"
echo "  demo-capture.exe --out without ffmpeg: status $status, standard error: $(cat "$WORK/err")"
check "without ffmpeg.exe: status 1" test "$status" -eq 1
# (The window's shortfall, if any, is a line of its own before it.)
check "without ffmpeg.exe: one line" test "$(grep -v 'the window got' "$WORK/err" | grep -c .)" -eq 1

# With an ffmpeg.exe beside it, demo-capture.exe starts it with a pipe. A stand-in that
# records its arguments and counts what arrives on its standard input shows the frames go
# through whole and arguments with blanks arrive as they were sent.
cat >"$WORK/standin.cpp" <<'EOF'
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
int main(int argc, char** argv) {
    long long bytes = -1;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "-i") && !std::strcmp(argv[i + 1], "-")) {
            _setmode(_fileno(stdin), _O_BINARY);
            static char buffer[1 << 16];
            bytes = 0;
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;)
                bytes += (long long)n;
        }
    FILE* log = std::fopen("standin.log", "ab");
    for (int i = 1; i < argc; ++i)
        std::fprintf(log, "[%s]", argv[i]);
    std::fprintf(log, "\nstdin bytes: %lld\n", bytes);
    std::fclose(log);
    FILE* out = std::fopen(argv[argc - 1], "wb");
    return out && std::fclose(out) == 0 ? 0 : 1;
}
EOF
x86_64-w64-mingw32-g++-posix -O2 -static "$WORK/standin.cpp" -o ffmpeg.exe
mkdir -p "out dir"
run PATH=/usr/bin:/bin timeout 300 "$WINE" demo-capture.exe --size 320x240 --fps 10 --from 1 \
    --to 2 --out "out dir/a b.mp4"
rm -f ffmpeg.exe
sent=$(cat "$WORK/out" "$WORK/err" | tr -d '\r' | sed -n 's/^wrote .*: \([0-9]*\) frames of \([0-9]*\)x\([0-9]*\) .*/\1 \2 \3/p')
expected=$([ -n "$sent" ] && set -- $sent && echo $(($1 * $2 * $3 * 3)))
echo "  demo-capture.exe --out with a stand-in ffmpeg.exe beside it: status $status;" \
    "$(cat "$WORK/out" "$WORK/err" | tr -d '\r' | grep '^wrote' || true)"
sed 's/^/    /' standin.log 2>/dev/null || true
check "with ffmpeg.exe beside it: status 0 (status $status)" test "$status" -eq 0
check "every frame's bytes reach ffmpeg's standard input (${expected:-?} expected)" \
    grep -qx "stdin bytes: ${expected:-none}" standin.log
check "an argument with a blank arrives whole" grep -qF '[out dir/a b.mp4]' standin.log

# Two times in every scene (a quarter and three quarters in), from the scene table itself.
times=$(python3 - "$ROOT/src/content/scene_starts.h" <<'EOF'
import re, sys
text = open(sys.argv[1]).read()
body = re.search(r"kSceneStarts\s*=\s*\{([^}]*)\}", text).group(1)
starts = [int(x) for x in re.findall(r"\d+", body)]
rate = 44100
starts.append(starts[-1] + 10 * rate)  # the last scene: its first ten seconds
out = []
for a, b in zip(starts, starts[1:]):
    for f in (0.25, 0.75):
        out.append("%.3f" % ((a + f * (b - a)) / rate))
print(",".join(out))
EOF
)
size=640x360
mkdir -p "$OUT/windows" "$OUT/linux"
rm -f "$OUT"/windows/*.png "$OUT"/linux/*.png
start=$SECONDS
run timeout 1200 "$WINE" demo-capture.exe --size $size --antialias 0 --png "Z:$OUT/windows" \
    --frames "$times"
echo "  demo-capture.exe --png: status $status in $((SECONDS - start)) s; $(tail -n1 "$WORK/err" | tr -d '\r')"
check "demo-capture.exe writes PNG frames (status $status)" test "$status" -eq 0
(cd "$LIN" && ./demo-capture --size $size --antialias 0 --png "$OUT/linux" --frames "$times" \
    >/dev/null 2>"$WORK/lerr") || echo "  the Linux capture failed: $(tail -n1 "$WORK/lerr")"

python3 - "$OUT" "$times" >"$OUT/frames.txt" <<'EOF'
import os, subprocess, sys
out, times = sys.argv[1], sys.argv[2].split(",")

def rgb(path):
    r = subprocess.run(["ffmpeg", "-loglevel", "error", "-i", path, "-f", "rawvideo",
                        "-pix_fmt", "rgb24", "-"], capture_output=True)
    return r.stdout if r.returncode == 0 else None

win = sorted(os.listdir(os.path.join(out, "windows")))
lin = sorted(os.listdir(os.path.join(out, "linux")))
print("| time (s) | frame | differing pixels | share | largest channel difference |")
print("|---|---|---|---|---|")
worst = None
for i, t in enumerate(times):
    if i >= len(win) or i >= len(lin) or win[i] != lin[i]:
        print("| %s | missing | | | |" % t)
        continue
    a, b = rgb(os.path.join(out, "windows", win[i])), rgb(os.path.join(out, "linux", lin[i]))
    if a is None or b is None or len(a) != len(b):
        print("| %s | %s | unreadable | | |" % (t, win[i]))
        continue
    n = len(a) // 3
    differing = 0
    largest = 0
    for p in range(0, len(a), 3):
        d = max(abs(a[p] - b[p]), abs(a[p + 1] - b[p + 1]), abs(a[p + 2] - b[p + 2]))
        if d:
            differing += 1
            largest = max(largest, d)
    print("| %s | %s | %d | %.4f %% | %d |" % (t, win[i], differing, 100.0 * differing / n, largest))
    if differing and (worst is None or differing > worst[0]):
        worst = (differing, win[i])
    # The two C libraries' sin and cos disagree in the last bit now and then, which moves an
    # edge of a spinning model by a pixel; anything wider than a sliver of a frame is not that.
    if 100.0 * differing / n > 0.1 or largest > 16:
        print("beyond the maths' last bit: %s" % win[i])
print()
print("worst: %s" % (worst[1] if worst else "none (every frame is identical)"))
EOF
cat "$OUT/frames.txt"
worst=$(sed -n 's/^worst: \([^ ]*\.png\)$/\1/p' "$OUT/frames.txt")
if [ -n "$worst" ]; then
    # The frame dimmed to a quarter, every pixel that differs marked in red (3x3, so single
    # pixels show), and the differing pixels listed with both systems' values.
    python3 - "$OUT/windows/$worst" "$OUT/linux/$worst" "$OUT/worst-difference.ppm" \
        >"$OUT/worst-pixels.txt" <<'EOF'
import subprocess, sys
def probe(path):
    r = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v", "-show_entries",
                        "stream=width,height", "-of", "csv=p=0", path], capture_output=True, text=True)
    return [int(v) for v in r.stdout.strip().split(",")]
def rgb(path):
    return subprocess.run(["ffmpeg", "-loglevel", "error", "-i", path, "-f", "rawvideo",
                           "-pix_fmt", "rgb24", "-"], capture_output=True).stdout
w, h = probe(sys.argv[1])
a, b = rgb(sys.argv[1]), rgb(sys.argv[2])
out = bytearray(v // 4 for v in b)
for i in range(0, len(a), 3):
    if a[i:i + 3] != b[i:i + 3]:
        x, y = (i // 3) % w, (i // 3) // w
        print("x=%d y=%d windows=%s linux=%s" % (x, y, tuple(a[i:i + 3]), tuple(b[i:i + 3])))
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                if 0 <= x + dx < w and 0 <= y + dy < h:
                    j = ((y + dy) * w + x + dx) * 3
                    out[j:j + 3] = b"\xff\x20\x20"
open(sys.argv[3], "wb").write(b"P6 %d %d 255\n" % (w, h) + bytes(out))
EOF
    ffmpeg -loglevel error -y -i "$OUT/worst-difference.ppm" "$OUT/worst-difference.png"
    rm -f "$OUT/worst-difference.ppm"
    echo "  the worst frame, differing pixels in red: $OUT/worst-difference.png" \
        "(their values: $OUT/worst-pixels.txt)"
fi
missing=$(grep -c '| missing\|unreadable' "$OUT/frames.txt" || true)
check "every frame was drawn on both systems" test "$missing" -eq 0
beyond=$(grep -c '^beyond' "$OUT/frames.txt" || true)
check "no frame differs by more than 0.1 % of its pixels or 16 levels" test "$beyond" -eq 0

# --- the benchmark ------------------------------------------------------------------------------
if [ $bench -eq 1 ]; then
    bsize=${CHECK_WINDOWS_BENCH_SIZE:-1280x720}
    echo "  bench: demo-capture --bench --size $bsize --fps 30 --antialias 0, Linux then wine" >&2
    (cd "$LIN" && ./demo-capture --bench --size "$bsize" --fps 30 --antialias 0 \
        --csv "$OUT/bench-linux.csv" --chart "$OUT/bench-linux.png" \
        >"$OUT/bench-linux.txt" 2>/dev/null) || true
    cp "$LIN/track/pelomvin_track.mp3" track/pelomvin_track.mp3
    "$WINE" demo-capture.exe --bench --size "$bsize" --fps 30 --antialias 0 \
        --csv bench-windows.csv --chart bench-windows.png >"$OUT/bench-windows.txt" \
        2>/dev/null || true
    cp bench-windows.csv bench-windows.png "$OUT/" 2>/dev/null || true
    python3 - "$OUT/bench-linux.csv" "$OUT/bench-windows.csv" <<'EOF' | tee "$OUT/bench.txt"
import csv, sys
def load(path):
    try:
        rows = list(csv.DictReader(open(path, newline="")))
    except OSError:
        return None
    return rows
lin, win = load(sys.argv[1]), load(sys.argv[2])
if not lin or not win:
    print("bench: a CSV is missing"); sys.exit(0)
def ratio(a, b):
    return "%.2f" % (b / a) if a else "-"
print("| scene | frames | Linux drawing median (ms) | wine | wine / Linux | Linux logic median (ms) | wine | wine / Linux |")
print("|---|---|---|---|---|---|---|---|")
for a, b in zip(lin, win):
    d = (float(a["draw_median_ms"]), float(b["draw_median_ms"]))
    g = (float(a["logic_median_ms"]), float(b["logic_median_ms"]))
    print("| %s | %s | %.1f | %.1f | %s | %.3f | %.3f | %s |" % (a["scene"], a["frames"], d[0], d[1],
          ratio(*d), g[0], g[1], ratio(*g)))
EOF
fi

[ $failures -eq 0 ] || {
    echo "$failures check(s) failed"
    exit 1
}
echo "every check passed"
