#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --sanitize).
# Usage: scripts/build.sh [--sanitize] [cmake --build options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DRAVELTO_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++-14)
fi
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "${flags[@]}"
fi
# Automoc in an existing build directory misses Q_OBJECT headers that arrived
# with a checkout; make it scan again (cheap: only changed files are re-mocced).
find "$dir" -path '*_autogen/timestamp' -delete 2>/dev/null || true
cmake --build "$dir" "$@"
