#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program and starts it in the
# current directory (its start directory: settings files and CARDATA/ live here).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup-debian.sh"
"$root/scripts/build.sh" --target ravelto
exec "$root/build/src/app/ravelto" "$@"
