#!/bin/bash
# Seeds a fresh, throw-away Wine prefix for each N with the catalogue
# benchmark's types and prints the Export All figures.
# Usage: bench/run_export.sh BUILD_DIR [N ...]   (default N: 2000 20000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench_prefix.sh"

build="$(cd "${1:?build directory}" && pwd)"
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(2000 20000)
kvel_bench_sizes "$build/bin/bench_export.exe" export "${sizes[@]}"
