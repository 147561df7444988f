#!/usr/bin/env bash
# The real installer with its skin in a temporary game folder: what the user is
# told, in which order, what the window looks like, and the files it leaves.
#   setup_e2e.sh WINE_RUN SETUP_EXE NOTEPAD_STUB PAYLOAD_LIST SETUP_DAT CLIENT_ORIGIN_EXE PACK_SKIN SKIN_XML SKIN_IMAGES
# With UPDATE_EXPECTED=1 the window's picture becomes the new expected picture.
set -uo pipefail
WINE_RUN="$1" SETUP="$2" STUB="$3" LIST="$4" SKIN="$5" ORIGIN="$6" PACK_SKIN="$7" SKIN_XML="$8" SKIN_IMAGES="$9"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/drive.sh"
eval "$("$WINE_RUN" --env)" || exit 1

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

TITLE='【Lumora】Tessaly 简体中文化补丁v1.0 安装程序'
HINT='box 安装运行提示|请将安装程序放置于游戏目录下。'
EXPECTED_PICTURE="$HERE/expected/window.png"
mapfile -t NAMES < <(cut -f1 "$LIST")
COUNT=${#NAMES[@]}

new_game() {
  local game="$WORK/$1"
  mkdir -p "$game"
  cp "$SETUP" "$game/Setup.exe"
  cp "$SKIN" "$game/Setup.dat"
  cp "$STUB" "$game/notepad.exe"
  echo "$game"
}

# The window as the user first sees it, against the picture made under the same setup.
compare_picture() {
  local shot="$1/window.png"
  xdotool mousemove 1270 790 # keep the pointer off the window
  sleep 0.5
  shoot_client "$ORIGIN" "$shot" || { fail "no picture of the window"; return; }
  if [ "${UPDATE_EXPECTED:-0}" = 1 ]; then
    mkdir -p "$(dirname "$EXPECTED_PICTURE")" && cp "$shot" "$EXPECTED_PICTURE"
    return
  fi
  local differing total
  differing=$(compare -metric AE -fuzz 8% "$shot" "$EXPECTED_PICTURE" null: 2>&1 | cut -d' ' -f1)
  total=$(identify -format '%[fx:w*h]' "$EXPECTED_PICTURE")
  # Text rendering may move a few pixels between font builds; a broken skin changes thousands.
  if ! [[ "$differing" =~ ^[0-9]+$ ]] || [ "$differing" -gt $((total / 200)) ]; then
    fail "the window differs from the expected picture in '$differing' of $total pixels (see $shot)"
    cp "$shot" "${TMPDIR:-/tmp}/setup_e2e_window.png"
  fi
}

# run_setup GAME PRESS PICTURE BOX... : starts the installer, answers the hint, optionally compares
# the window with the expected picture and presses Install, answers each box with the given
# caption in turn, closes the window; leaves the calls in GAME/calls.txt.
run_setup() {
  local game="$1" press="$2" picture="$3"; shift 3
  ( cd "$game" && WINEDEBUG=+relay exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
  local pid=$!
  answer_box '^安装运行提示$' 60 || fail "no start-up hint"
  local window
  window=$(wait_window "^$TITLE\$" 30) || fail "no main window"
  sleep 0.5 # the first paint
  [ "$picture" = yes ] && compare_picture "$game"
  if [ "$press" = yes ]; then
    click_client "$ORIGIN" "$INSTALL_BUTTON_X" "$INSTALL_BUTTON_Y" || fail "could not press Install"
  fi
  local caption
  for caption in "$@"; do
    answer_box "^$caption\$" 60 || fail "no box '$caption'"
  done
  [ $# -eq 0 ] && sleep 2 # time for a box that must not come
  window=$(wait_window "^$TITLE\$" 30) || fail "the fixed title did not return"
  if [ -n "${window:-}" ]; then
    xdotool mousemove 1270 790
    close_window "$window" || fail "window did not close"
  fi
  if wait_pid "$pid" 20; then
    wait "$pid"; local code=$?
    [ "$code" -eq 0 ] || fail "installer exit code $code"
  else
    fail "installer still running after close"; kill "$pid" 2>/dev/null
  fi
  calls_of "$game/relay.txt" > "$game/calls.txt"
}

expect_calls() {
  local game="$1" expected="$2"
  if ! diff <(printf '%s\n' "$expected") "$game/calls.txt" >"$game/calls.diff"; then
    fail "calls differ in $(basename "$game"):"; cat "$game/calls.diff" >&2
  fi
}

payload_file() { echo "$(dirname "$LIST")/$(grep -m1 -F "$1	" "$LIST" | cut -f2)"; }
installed_path() { echo "$1/${2//\\//}"; }
no_entry_installed() {
  local name
  for name in "${NAMES[@]}"; do [ -e "$(installed_path "$1" "$name")" ] && fail "$name installed in $(basename "$1")"; done
}

# 1. Not in the game folder: pressing Install gives the presence box and nothing else.
game=$(new_game absent)
run_setup "$game" yes no '安装检查'
expect_calls "$game" "$HINT
box 安装检查|请将安装程序放到游戏目录下运行。"
[ -e "$game/notepad-cmdline.txt" ] && fail "Notepad started without the game"

# 2. In the game folder: the skin as expected; Install unpacks every entry in order, completes,
#    opens the notes in Notepad and puts the title back.
game=$(new_game present)
: > "$game/tessaly.exe"
run_setup "$game" yes yes '安装程序'
expected="$HINT"
for i in "${!NAMES[@]}"; do expected+=$'\n'"title [$((i + 1))/$COUNT] ${NAMES[$i]}"; done
expected+=$'\n'"box 安装程序|安装完成"$'\n'"start notepad.exe 汉化说明.txt"$'\n'"title $TITLE"
expect_calls "$game" "$expected"
for name in "${NAMES[@]}"; do
  cmp -s "$(payload_file "$name")" "$(installed_path "$game" "$name")" || fail "$name differs from the payload"
done
recorded=$(iconv -f UTF-16LE -t UTF-8 "$game/notepad-cmdline.txt" 2>/dev/null)
[ "$recorded" = "notepad.exe 汉化说明.txt" ] || fail "Notepad got '$recorded'"

# 3. An entry that cannot be written (its target is a folder): error 6 at that entry,
#    the entries before it complete, the ones after it untouched, no Notepad.
game=$(new_game failing)
: > "$game/tessaly.exe"
k=2
mkdir -p "$(installed_path "$game" "${NAMES[$k]}")"
run_setup "$game" yes no '安装程序'
expected="$HINT"
for i in $(seq 0 $k); do expected+=$'\n'"title [$((i + 1))/$COUNT] ${NAMES[$i]}"; done
expected+=$'\n'"box 安装程序|内部错误 错误代码: [0x00000006]"$'\n'"title $TITLE"
expect_calls "$game" "$expected"
for i in "${!NAMES[@]}"; do
  target=$(installed_path "$game" "${NAMES[$i]}")
  if [ "$i" -lt "$k" ]; then
    cmp -s "$(payload_file "${NAMES[$i]}")" "$target" || fail "entry $i should be complete"
  elif [ "$i" -gt "$k" ]; then
    [ -e "$target" ] && fail "entry $i should not exist"
  fi
done
[ -e "$game/notepad-cmdline.txt" ] && fail "Notepad started after a failure"

# 4. A skin whose button is named "install": pressing it installs nothing.
game=$(new_game lowercase)
: > "$game/tessaly.exe"
mkdir -p "$WORK/skin"
sed 's/name="Install"/name="install"/' "$SKIN_XML" > "$WORK/skin/Setup.xml"
grep -q 'name="install"' "$WORK/skin/Setup.xml" || fail "the skin has no control named Install to rename"
"$PACK_SKIN" "$game/Setup.dat" "$WORK/skin/Setup.xml" "$SKIN_IMAGES"/*.png || fail "could not pack the second skin"
run_setup "$game" yes no
expect_calls "$game" "$HINT"
no_entry_installed "$game"

[ $failures -eq 0 ] && echo "end-to-end: all checks passed"
exit $((failures > 0))
