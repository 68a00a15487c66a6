#!/usr/bin/env bash
# Screenshots of the ledger window and its dialogs under Xvfb, on a small demo
# ledger in a temporary start directory.
# Usage: scripts/screenshots.sh [output directory]   (default: build/screenshots)
# RAVELTO_BIN names the program (default: build/src/app/ravelto).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${RAVELTO_BIN:-$root/build/src/app/ravelto}"
out="$(mkdir -p "${1:-$root/build/screenshots}" && cd "${1:-$root/build/screenshots}" && pwd)"

if [ -z "${RAVELTO_SCREENSHOT_INNER:-}" ]; then
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/start" "$work/home" "$work/config" "$work/runtime"
  chmod 700 "$work/runtime"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
  export CARDATA="$work/start/CARDATA"
  export RAVELTO_SCREENSHOT_INNER=1 RAVELTO_BIN="$bin" RAVELTO_WORK="$work"
  # A demo ledger of a few months with a few records each.
  (cd "$work/start" && QT_QPA_PLATFORM=offscreen "$bin" --demo --quit-after-first-view >/dev/null)
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$out"
fi

work="$RAVELTO_WORK"
cd "$work/start"
unset QT_QPA_PLATFORM

window_id() { xdotool search --sync --onlyvisible --name "$1" | head -1; }

shot() {  # shot NAME WINDOW-ID: the window's area of the screen
  local geo x y w h
  eval "$(xdotool getwindowgeometry --shell "$2")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1.png"
  echo "$out/$1.png"
}

start() {  # start [program options]: runs the program, waits for its window
  "$bin" "$@" &
  pid=$!
  main="$(window_id 'ラヴェルト For Win32')"
  sleep 2.5  # the one-second start-up and the first view
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

dialog() {  # dialog NAME KEYS...: opens a dialog by keys, shoots it, closes it
  local name="$1"; shift
  xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
  xdotool key --delay 150 "$@"
  sleep 1
  local id
  id="$(xdotool getactivewindow 2>/dev/null || true)"
  if [ -z "$id" ] || [ "$id" = "$main" ]; then
    id="$(xdotool search --onlyvisible --name '.' | grep -v "^$main\$" | tail -1)"
  fi
  shot "$name" "$id"
  xdotool key Escape
  sleep 0.5
}

# The main window as designed, then widened.
printf 'a\r\nb\r\nc\r\nd\r\n\r\n\r\n\r\n' > User.INI
start -geometry 672x493+0+0
shot main-672 "$main"
xdotool windowsize --sync "$main" 1000 600
sleep 1
shot main-1000 "$main"
xdotool windowsize --sync "$main" 672 493
sleep 1

# The dialogs of the menus.
dialog version alt+h a
dialog company-info alt+e j
dialog title-colors alt+e t
dialog payment-kinds alt+e Down Down Down Down Right Return
dialog password-setting alt+e Up Up Up Up Up Up Up Return
stop

# Start-up with a password, and without User.INI.
rm -f User.INI
printf 'secret\r\n' > RcPass.INI
start -geometry 672x493+0+0
dialog startup-password
xdotool type secret; xdotool key Return; sleep 2
stop
rm -f RcPass.INI
"$bin" -geometry 672x493+0+0 &
pid=$!
main="$(window_id 'ラヴェルト For Win32')"
sleep 2.5
shot startup-company-info "$(xdotool getactivewindow)"
stop
