#!/usr/bin/env bash
# Starts the program in a fresh start directory, lets it show the first month
# view and close its window the ordinary way, and checks it ends cleanly: the
# closing order of the windows and the database lock is only exercised here.
# Usage: start_and_quit.sh PROGRAM CLI
set -euo pipefail
bin="$1"
cli="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/start" "$work/home" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=offscreen
cd "$work/start"
printf 'a\r\nb\r\nc\r\nd\r\n\r\n\r\n\r\n' > User.INI

run() {  # run LABEL: one start and close, which must end with status 0
  local rc=0
  timeout 60 "$bin" --quit-after-first-view >"$work/out" 2>&1 || rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "$1: the program ended with status $rc" >&2
    cat "$work/out" >&2
    exit 1
  fi
}

# An empty ledger, then a ledger of a few months; the second start of each also
# shows the lock of the first was released.
export CARDATA="$work/start/CARDATA"
run "empty ledger"
run "empty ledger, second start"
export CARDATA="$work/start/GENERATED"
"$cli" generate --records 30 --per-month 10 --dir "$CARDATA" >/dev/null
run "generated ledger"
run "generated ledger, second start"
echo "started and closed cleanly"
