# Shared by the capture tests: a run folder with demo-capture, the archive and a track long
# enough for every scene (the built one, or a generated stand-in). Needs common.bash first.
make_capture_folder() {
    mkdir -p "$WORK/run/track"
    ln -sf "$BUILD_DIR/demo-capture" "$WORK/run/demo-capture"
    [ -f "$BUILD_DIR/data.lll" ] && ln -sf "$BUILD_DIR/data.lll" "$WORK/run/data.lll"
    if [ -f "$BUILD_DIR/track/pelomvin_track.mp3" ]; then
        ln -sf "$BUILD_DIR/track/pelomvin_track.mp3" "$WORK/run/track/pelomvin_track.mp3"
    else
        ffmpeg -loglevel error -y -f lavfi \
            -i "aevalsrc=0.6*sin(2*PI*45*t)*exp(-8*mod(t\,0.5))+0.1*sin(2*PI*440*t):s=44100:d=186" \
            -ac 2 -b:a 128k "$WORK/run/track/pelomvin_track.mp3"
    fi
}
