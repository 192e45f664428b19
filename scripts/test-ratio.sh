#!/usr/bin/env bash
# The tests' size against the program's, in non-blank lines: every file under
# tests/ against the program's .cpp, .h and .rc files. Fails above 35 %.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

count() { cat "$@" /dev/null | grep -cv '^[[:space:]]*$' || true; }
program=$(count $(git ls-files -co --exclude-standard -- text platform records ui details catalogue checks \
                      writer editor compare openwith export defaults problems app cli resources | grep -E '\.(cpp|h|rc)$'))
tests=$(count $(git ls-files -co --exclude-standard -- tests))
tenths=$((1000 * tests / program))
echo "kvel: program $program lines, tests $tests lines: $((tenths / 10)).$((tenths % 10)) %"
if [ $((100 * tests)) -gt $((35 * program)) ]; then
    echo "kvel: the tests are above 35 % of the program"
    exit 1
fi
