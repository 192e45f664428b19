#!/usr/bin/env bash
# Runs inside Xvfb (see run.sh): starts KVEL.exe in a Wine virtual desktop,
# which draws window frames and captions, waits until the main window has
# loaded and stopped changing, saves it as a PNG and closes the program.
set -euo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

wine explorer /desktop=KVEL,1200x800 "$EXE" "$@" &
program=$!

# Loaded means: the desktop shows something and two pictures half a second
# apart are the same (the catalogue fills and the details appear first).
previous=""
for _ in $(seq 1 120); do
    sleep 0.5
    import -window root "$work/now.png" 2>/dev/null || continue
    current="$(convert "$work/now.png" -trim -format '%wx%h' info: 2>/dev/null || true)"
    digest="$(md5sum < "$work/now.png")"
    if [ -n "$current" ] && [ "$current" != "1x1" ] && [ "$digest" = "$previous" ]; then
        break
    fi
    previous="$digest"
done
convert "$work/now.png" -trim +repage -trim +repage "$SHOT"

# Closing the window as the close box does ends the program.
# taskkill has to run on the same (virtual) desktop to see the window.
wine explorer /desktop=KVEL,1200x800 taskkill /im KVEL.exe >/dev/null 2>&1 || true
wait "$program" || true
