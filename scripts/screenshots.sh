#!/usr/bin/env bash
# Screenshots of the ledger window and its dialogs under Xvfb, on a small demo
# ledger in a temporary start directory.
# Usage: scripts/screenshots.sh [output directory]   (default: build/screenshots)
# RAVELTO_BIN names the program (default: build/src/app/ravelto).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${RAVELTO_BIN:-$root/build/src/app/ravelto}"
cli="${RAVELTO_CLI:-$(dirname "$bin")/ravelto-cli}"
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
  "$cli" generate --records 20 --per-month 5 --name-groups 2 --dir "$CARDATA" >/dev/null
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$out"
fi

work="$RAVELTO_WORK"
cd "$work/start"
unset QT_QPA_PLATFORM

# The view row (0-based, order 売上日 newest first) of the first record of the
# open month with 書込モード 1 in the demo ledger; the columns are found by
# their CP932 field names.
quoted_row() {
  local db="$CARDATA/receive.DB" mode key
  column() {
    local hex
    hex="$(printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n' | tr a-f A-F)"
    sqlite3 "$db" "select 'c' || pos from fields where hex(name) = '$hex'"
  }
  mode="$(column 書込モード)"
  key="$(column 項番)"
  sqlite3 "$db" "with month as (select id, $key k, $mode m from records
                   where $key / 100 = (select max($key) / 100 from records)),
                 ranked as (select m, row_number() over (order by k desc, id) - 1 r from month)
                 select min(r) from ranked where m = 1"
}

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

dialog() {  # dialog NAME CAPTION KEYS...: opens a dialog by keys, shoots it, closes it
  local name="$1" caption="$2"; shift 2
  xdotool windowfocus --sync "$main"
  xdotool key --delay 200 "$@"
  local id
  id="$(xdotool search --sync --onlyvisible --name "$caption" | head -1)"
  sleep 0.5
  shot "$name" "$id"
  xdotool windowfocus --sync "$id"
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
# A record being edited: an amount typed into 入金額1 of the first record and
# the field left; the record's balances and the month totals follow. Escape
# then drops the change again.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --sync $((X + 615)) $((Y + 217)) click 1
xdotool type --delay 80 5000
xdotool key Tab
sleep 0.8
shot editing "$main"
xdotool key Escape
sleep 0.5
# An imported-looking record (書込モード 1) of the open month made current by a
# click into its panel, as for the editing shot: 引用モード, the customer and job
# fields read-only, the payments open. The panels stand 110 pixels apart.
row="$(quoted_row)"
if [ -z "$row" ] || [ "$row" -gt 2 ]; then
  echo "no imported record among the first three of the open month" >&2
  exit 1
fi
xdotool mousemove --sync $((X + 615)) $((Y + 217 + 110 * row)) click 1
sleep 0.8
shot quoted-mode "$main"
# The tabs stand at the bottom: the personal view of the current customer with
# its totals line, then a closed month in 閲覧モード.
tab() {  # tab X: clicks the tab strip X pixels from the window's left edge
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove --sync $((X + $1)) $((Y + HEIGHT - 35)) click 1
  sleep 1
}
tab 30
shot personal-mode "$main"
tab 230
shot closed-month "$main"
tab 130
xdotool windowsize --sync "$main" 672 493
sleep 1

# The dialogs of the menus.
dialog version 'ﾊﾞｰｼﾞｮﾝ情報' alt+h a
dialog company-info '自社情報' alt+e j
dialog title-colors 'ﾀｲﾄﾙ色変更' alt+e t
dialog payment-kinds 'ﾘｽﾄ修正' alt+e Down Down Down Down Right Return
dialog password-setting 'パスワードの設定' alt+e Up Up Up Up Up Return
dialog name-groups '合計請求書の氏名の設定' alt+e Up Up Up Up Up Up Return
dialog help 'ヘルプ' alt+h c
stop

# Start-up with a password: the prompt comes before anything of the ledger.
printf '1234\r\n' > RcPass.INI
start -geometry 672x493+0+0
prompt="$(xdotool search --sync --onlyvisible --name 'パスワード' | head -1)"
shot startup-password-behind "$main"
shot startup-password "$prompt"
eval "$(xdotool getwindowgeometry --shell "$prompt")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + 45)) click 1  # into the password field
xdotool type --delay 50 1234  # digits: Caps Lock is on
xdotool key Return
sleep 1.5
shot startup-after-password "$main"
stop
rm -f RcPass.INI

# Start-up without User.INI: the company information is asked for.
rm -f User.INI
start -geometry 672x493+0+0
shot startup-company-info "$(xdotool search --sync --onlyvisible --name '自社情報' | head -1)"
stop

# A database folder that cannot be created: a message, and the program ends.
touch not-a-folder
CARDATA="$PWD/not-a-folder/CARDATA" "$bin" &
pid=$!
shot database-error "$(xdotool search --sync --onlyvisible --name 'ラヴェルト For Win32' | head -1)"
stop
