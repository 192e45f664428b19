#!/usr/bin/env bash
# Fails, naming file and line, on any include of the program's own headers
# that runs from a floor to a higher one. The floors, from the ground up:
#   1 text/ resources/   2 platform/   3 records/ ui/   4 details/
#   5 catalogue/ checks/   6 writer/
#   7 editor/ compare/ openwith/ export/ defaults/ problems/
#   8 app/ cli/
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

floor_of() {
    case "$1" in
    text/* | resources/*) echo 1 ;;
    platform/*) echo 2 ;;
    records/* | ui/*) echo 3 ;;
    details/*) echo 4 ;;
    catalogue/* | checks/*) echo 5 ;;
    writer/*) echo 6 ;;
    editor/* | compare/* | openwith/* | export/* | defaults/* | problems/*) echo 7 ;;
    app/* | cli/*) echo 8 ;;
    *) echo 0 ;;
    esac
}

status=0
while IFS= read -r file; do
    own=$(floor_of "$file")
    [ "$own" -eq 0 ] && { echo "$file: in no floor"; status=1; continue; }
    while IFS=: read -r line included; do
        # A name without a folder is the including file's neighbour.
        [[ "$included" == */* ]] || included="$(dirname "$file")/$included"
        target=$(floor_of "$included")
        if [ "$target" -eq 0 ]; then
            echo "$file:$line: includes \"$included\", which is in no floor"
            status=1
        elif [ "$target" -gt "$own" ]; then
            echo "$file:$line: includes \"$included\" from floor $target above its own ($own)"
            status=1
        fi
    done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
done < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' '*.rc' |
         grep -vE '^(tests|bench|scripts|build[^/]*)/')
[ "$status" -eq 0 ] && echo "layers: every include runs down or across"
exit "$status"
