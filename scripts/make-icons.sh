#!/bin/bash
# Draws KVEL's icons with ImageMagick and writes resources/icons/*.ico.
# Each icon holds a 32x32 and a 16x16 image. Both are drawn on a 16-times
# larger canvas in a 32- or 16-unit grid and scaled down, which gives smooth
# edges; the 16-pixel designs use thicker strokes so they stay legible.
#
# Usage: scripts/make-icons.sh [output folder]   (default: resources/icons)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/resources/icons}"
convert_bin="${CONVERT:-convert}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# render NAME SIZE DRAW...: draws the primitives (in a SIZE-unit grid) on a
# transparent canvas and writes $work/NAME-SIZE.png.
render() {
    local name="$1" size="$2"
    shift 2
    local factor=16 big=$((size * 16))
    local args=(-size "${big}x${big}" xc:none -draw "scale $factor,$factor")
    local primitive
    for primitive in "$@"; do
        args+=(-draw "scale $factor,$factor $primitive")
    done
    "$convert_bin" "${args[@]}" -filter Box -resize "${size}x${size}" \
        -define png:color-type=6 "$work/$name-$size.png"
}

# pack NAME: combines the 32 and 16 pixel images into NAME.ico.
pack() {
    "$convert_bin" "$work/$1-32.png" "$work/$1-16.png" "$out/$1.ico"
}

# 1: the program: a document with a folded corner, its type tag and a pencil.
render program 32 \
    "fill white stroke #404040 stroke-width 1 path 'M 5.5,2.5 L 19.5,2.5 L 25.5,8.5 L 25.5,29.5 L 5.5,29.5 Z'" \
    "fill #d8d8d8 stroke #404040 stroke-width 1 path 'M 19.5,2.5 L 19.5,8.5 L 25.5,8.5 Z'" \
    "fill #2a5db0 stroke none rectangle 8,11 21,16" \
    "fill #b0b0b0 stroke none rectangle 8,19 18,20" \
    "fill #b0b0b0 stroke none rectangle 8,23 15,24" \
    "fill #f2b630 stroke #7a5200 stroke-width 1 path 'M 29,15 L 31,17 L 20,28 L 17,29 L 18,26 Z'" \
    "fill #7a5200 stroke none path 'M 17,29 L 17.8,26.6 L 19.4,28.2 Z'"
render program 16 \
    "fill white stroke #404040 stroke-width 1 path 'M 2.5,0.5 L 9.5,0.5 L 13.5,4.5 L 13.5,15.5 L 2.5,15.5 Z'" \
    "fill #2a5db0 stroke none rectangle 4,6 11,9" \
    "fill #9a9a9a stroke none rectangle 4,11 9,12" \
    "fill #f2b630 stroke #7a5200 stroke-width 1 path 'M 14,7 L 16,9 L 10,15 L 8,15.5 L 8.5,13 Z'"
pack program

# 2: added: a green disc with a white check mark.
render added 32 \
    "fill #2f9e3a stroke #1c6b25 stroke-width 1 circle 16,16 16,1.5" \
    "fill none stroke white stroke-width 3.5 stroke-linecap round stroke-linejoin round polyline 9,16.5 14,21.5 23,10.5"
render added 16 \
    "fill #2f9e3a stroke #1c6b25 stroke-width 0.75 circle 8,8 8,0.6" \
    "fill none stroke white stroke-width 2.2 stroke-linecap round stroke-linejoin round polyline 4.2,8.3 7,11 11.8,5"
pack added

# 3: deleted: a red ring.
render deleted 32 \
    "fill none stroke #c62020 stroke-width 5 circle 16,16 16,4"
render deleted 16 \
    "fill none stroke #c62020 stroke-width 3 circle 8,8 8,2"
pack deleted

# 4: system: a monitor on its stand.
render system 32 \
    "fill #5a5a5a stroke none rectangle 12,24 20,27" \
    "fill #5a5a5a stroke none roundrectangle 8,27 24,30 1,1" \
    "fill #c8c8c8 stroke #404040 stroke-width 1 roundrectangle 2.5,3.5 29.5,24.5 2,2" \
    "fill #2f6fd0 stroke #1d3f7a stroke-width 1 rectangle 5.5,6.5 26.5,21.5" \
    "fill #8fc0ff stroke none polygon 6,7 16,7 6,15"
render system 16 \
    "fill #5a5a5a stroke none rectangle 6,12 10,14" \
    "fill #5a5a5a stroke none rectangle 3,14 13,15.5" \
    "fill #c8c8c8 stroke #404040 stroke-width 1 rectangle 0.5,1.5 15.5,12.5" \
    "fill #2f6fd0 stroke none rectangle 2,3 14,11" \
    "fill #8fc0ff stroke none polygon 2,3 8,3 2,7"
pack system

# 5: user: a person's head and shoulders.
render user 32 \
    "fill #3b7dd8 stroke #1d4a8a stroke-width 1 path 'M 4.5,30.5 C 4.5,20 10,17.5 16,17.5 C 22,17.5 27.5,20 27.5,30.5 Z'" \
    "fill #f0c8a0 stroke #8a5a30 stroke-width 1 circle 16,10 16,3.5"
render user 16 \
    "fill #3b7dd8 stroke #1d4a8a stroke-width 1 path 'M 1.5,15.5 C 1.5,10 4.5,8.5 8,8.5 C 11.5,8.5 14.5,10 14.5,15.5 Z'" \
    "fill #f0c8a0 stroke #8a5a30 stroke-width 1 circle 8,5 8,1.5"
pack user

# 6: spare: a yellow folder.
render spare 32 \
    "fill #e0a82a stroke #8a6210 stroke-width 1 path 'M 2.5,7.5 L 11.5,7.5 L 14.5,10.5 L 29.5,10.5 L 29.5,26.5 L 2.5,26.5 Z'" \
    "fill #f7d060 stroke #8a6210 stroke-width 1 path 'M 2.5,26.5 L 6.5,14.5 L 31.5,14.5 L 29.5,26.5 Z'"
render spare 16 \
    "fill #e0a82a stroke #8a6210 stroke-width 1 path 'M 0.5,2.5 L 5.5,2.5 L 7.5,4.5 L 15.5,4.5 L 15.5,14.5 L 0.5,14.5 Z'" \
    "fill #f7d060 stroke #8a6210 stroke-width 1 path 'M 0.5,14.5 L 2.5,7.5 L 15.5,7.5 L 15.5,14.5 Z'"
pack spare

echo "icons written to $out"
