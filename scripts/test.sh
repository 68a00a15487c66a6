#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs all tests.
# With --sanitize: the same under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup-debian.sh"
dir=build
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  "$root/scripts/build.sh" --sanitize
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  "$root/scripts/build.sh"
fi
export QT_QPA_PLATFORM=offscreen
cd "$root/$dir"
ctest --output-on-failure -j "$(nproc)" --timeout 300
