# Sourced by the screenshot scripts: the real window, a copy of the built program with its
# settings beside it, on a display of its own, and what they do with it. The caller sets work (a
# temporary folder it removes) and has cd'ed to the repository's top folder.

# Starts the window on display :$1 over source (its PDFs into $work/pdf), per sheet; sets window,
# WIDTH, HEIGHT, X and Y.
StartWindow() {
    printf 'SourcePath=%s\r\nSavePath=%s\r\nMergeSheets=n\r\nSaveToQuondamPath=n\r\n' \
        "$source" "$work/pdf" > "$work/Quillsheet.qlx"
    Xvfb ":$1" -screen 0 1280x720x24 >/dev/null 2>&1 &
    sleep 1
    export DISPLAY=":$1" XDG_RUNTIME_DIR="$work" XDG_DATA_HOME="$work/data"
    "$work/Quillsheet" >/dev/null 2>&1 &
    sleep 3
    window=$(xdotool search --sync --onlyvisible --name 'excel')
    eval "$(xdotool getwindowgeometry --shell "$window")"
}

# The window as it is now, into the file named: the run's end may have changed its size.
Shot() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$1"
}

# Clicks the button this far from the output row's right end (convert: 151, stop: 60).
ClickOnOutputRow() {
    xdotool mousemove --window "$window" $((WIDTH - $1)) 138 click 1
}

# Waits until the run has written this many PDFs, at most 10 s.
WaitForPdfs() {
    for _ in $(seq 100); do
        [ "$(find "$work/pdf" -name '*.pdf' | wc -l)" -ge "$1" ] && break
        sleep 0.1
    done
}

# Waits for the run's end, when its report is written, at most a minute.
WaitForTheEnd() {
    for _ in $(seq 60); do
        [ -f "$work/data/Quillsheet/转换报告.txt" ] && break
        sleep 1
    done
    sleep 1
}
