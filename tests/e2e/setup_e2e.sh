#!/usr/bin/env bash
# The real installer with its skin in a temporary game folder: what the user is
# told, in which order, what the window looks like and where it is, the files it
# leaves, and what happens without a skin, with a second copy, and when the
# process is killed midway.
#   setup_e2e.sh WINE_RUN SETUP_EXE NOTEPAD_STUB PAYLOAD_LIST SETUP_DAT WINDOW_QUERY_EXE PACK_SKIN SKIN_XML SKIN_IMAGES
# With UPDATE_EXPECTED=1 the window's picture becomes the new expected picture.
set -uo pipefail
WINE_RUN="$1" SETUP="$2" STUB="$3" LIST="$4" SKIN="$5" QUERY="$6" PACK_SKIN="$7" SKIN_XML="$8" SKIN_IMAGES="$9"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/drive.sh"
eval "$("$WINE_RUN" --env)" || exit 1
relay_the_calls

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

TITLE='【Lumora】Tessaly 简体中文化补丁v1.0 安装程序'
INSTALL=Install # the name of the control that installs
HINT='box 安装运行提示|请将安装程序放置于游戏目录下。'
START="$HINT"$'\n'tune # the hint, then the tune
SKIN_MISSING='box 安装程序|安装程序旁的界面文件“Setup.dat”缺失或已损坏，无法显示安装界面。 请将 Setup.exe 与 Setup.dat 放在同一文件夹中，然后重新运行。'
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
  shoot_client "$QUERY" "$shot" || { fail "no picture of the window"; return; }
  if [ "${UPDATE_EXPECTED:-0}" = 1 ]; then
    mkdir -p "$(dirname "$EXPECTED_PICTURE")" && cp "$shot" "$EXPECTED_PICTURE"
    return
  fi
  local differing total
  differing=$(compare -metric AE -fuzz 8% "$shot" "$EXPECTED_PICTURE" null: 2>&1 | cut -d' ' -f1)
  total=$(identify -format '%w %h' "$EXPECTED_PICTURE" | awk '{ print $1 * $2 }')
  # Text rendering may move a few pixels between font builds; a broken skin changes thousands.
  if ! [[ "$differing" =~ ^[0-9]+$ ]] || [ "$differing" -gt $((total / 200)) ]; then
    fail "the window differs from the expected picture in '$differing' of $total pixels (see $shot)"
    cp "$shot" "${TMPDIR:-/tmp}/setup_e2e_window.png"
  fi
}

# The window sits in the middle of its monitor's work area.
check_centred() {
  local p
  p=($(query "$QUERY" placement)) || { fail "no placement of the window"; return; }
  local width=$((p[2] - p[0])) height=$((p[3] - p[1]))
  local left=$((p[4] + (p[6] - p[4] - width) / 2)) top=$((p[5] + (p[7] - p[5] - height) / 2))
  [ "${p[0]} ${p[1]}" = "$left $top" ] || fail "the window is at ${p[0]},${p[1]}, not centred at $left,$top"
  [ $width -gt 64 ] && [ $height -gt 64 ] || fail "the window is only ${width}x$height"
}

# run_setup GAME PRESS PICTURE BOX... : starts the installer, answers the hint, optionally compares
# the window with the expected picture and presses the control named $INSTALL, answers each box
# with the given caption in turn, closes the window; leaves the calls in GAME/calls.txt.
run_setup() {
  local game="$1" press="$2" picture="$3"; shift 3
  ( cd "$game" && WINEDEBUG=+relay exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
  local pid=$!
  answer_box '^安装运行提示$' 60 || fail "no start-up hint"
  local window
  window=$(wait_window "^$TITLE\$" 30) || fail "no main window"
  sleep 0.5 # the first paint
  if [ "$picture" = yes ]; then
    compare_picture "$game"
    check_centred
  fi
  if [ "$press" = yes ]; then
    click_control "$QUERY" "$INSTALL" || fail "could not press $INSTALL"
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

# A payload file by its entry name; list paths are absolute or relative to the list's folder.
payload_file() {
  local source
  source=$(grep -m1 -F "$1	" "$LIST" | cut -f2)
  case "$source" in /*) echo "$source" ;; *) echo "$(dirname "$LIST")/$source" ;; esac
}
installed_path() { echo "$1/${2//\\//}"; }
no_entry_installed() {
  local name
  for name in "${NAMES[@]}"; do [ -e "$(installed_path "$1" "$name")" ] && fail "$name installed in $(basename "$1")"; done
}

# Temporary files of ours that stayed in a game folder.
leftovers() { (cd "$1" && ls -A | grep '^~setup-' || true); }

# 1. Not in the game folder: pressing Install gives the presence box and nothing else.
game=$(new_game absent)
run_setup "$game" yes no '安装检查'
expect_calls "$game" "$START
owned box 安装检查|请将安装程序放到游戏目录下运行。"
[ -e "$game/notepad-cmdline.txt" ] && fail "Notepad started without the game"

# 2. In the game folder: the skin as expected; Install unpacks every entry in order, completes,
#    opens the notes in Notepad and puts the title back.
game=$(new_game present)
: > "$game/tessaly.exe"
run_setup "$game" yes yes '安装程序'
expected="$START"
for i in "${!NAMES[@]}"; do expected+=$'\n'"title [$((i + 1))/$COUNT] ${NAMES[$i]}"; done
expected+=$'\n'"owned box 安装程序|安装完成"$'\n'"start notepad.exe 汉化说明.txt"$'\n'"title $TITLE"
expect_calls "$game" "$expected"
for name in "${NAMES[@]}"; do
  cmp -s "$(payload_file "$name")" "$(installed_path "$game" "$name")" || fail "$name differs from the payload"
done
recorded=$(iconv -f UTF-16LE -t UTF-8 "$game/notepad-cmdline.txt" 2>/dev/null)
[ "$recorded" = "notepad.exe 汉化说明.txt" ] || fail "Notepad got '$recorded'"
[ -z "$(leftovers "$game")" ] || fail "files left after the installation: $(leftovers "$game")"

# 3. An entry that cannot be written (its target is a folder): error 6 at that entry,
#    the entries before it complete, the ones after it untouched, no Notepad.
game=$(new_game failing)
: > "$game/tessaly.exe"
k=2
mkdir -p "$(installed_path "$game" "${NAMES[$k]}")"
run_setup "$game" yes no '安装程序'
expected="$START"
for i in $(seq 0 $k); do expected+=$'\n'"title [$((i + 1))/$COUNT] ${NAMES[$i]}"; done
expected+=$'\n'"owned box 安装程序|内部错误 错误代码: [0x00000006]"$'\n'"title $TITLE"
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
[ -z "$(leftovers "$game")" ] || fail "files left after a failure: $(leftovers "$game")"

# 4. A skin whose button is named "install": pressing it installs nothing.
game=$(new_game lowercase)
: > "$game/tessaly.exe"
mkdir -p "$WORK/skin"
sed 's/name="Install"/name="install"/' "$SKIN_XML" > "$WORK/skin/Setup.xml"
grep -q 'name="install"' "$WORK/skin/Setup.xml" || fail "the skin has no control named Install to rename"
"$PACK_SKIN" "$game/Setup.dat" "$WORK/skin/Setup.xml" "$SKIN_IMAGES"/*.png || fail "could not pack the second skin"
INSTALL=install run_setup "$game" yes no
expect_calls "$game" "$START"
no_entry_installed "$game"
[ -z "$(leftovers "$game")" ] || fail "files left in $(basename "$game"): $(leftovers "$game")"

# 5. Without a usable skin (none, or a damaged one): the user is told plainly, no window
#    appears, no tune plays, and the program ends with a failure.
for damage in missing truncated; do
  game=$(new_game "skin-$damage")
  if [ $damage = missing ]; then
    rm "$game/Setup.dat"
  else
    head -c 2000 "$SKIN" > "$game/Setup.dat"
  fi
  ( cd "$game" && WINEDEBUG=+relay exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
  pid=$!
  box=$(wait_window '^安装程序$' 60) || fail "no box about the $damage skin"
  [ -n "$(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null)" ] && fail "a window without its skin ($damage)"
  answer_box '^安装程序$' 10 || fail "the box about the $damage skin did not close"
  if wait_pid "$pid" 20; then
    wait "$pid"; code=$?
    [ "$code" -ne 0 ] || fail "exit code 0 without a skin ($damage)"
  else
    fail "still running after the box about the $damage skin"; kill "$pid" 2>/dev/null
  fi
  calls_of "$game/relay.txt" > "$game/calls.txt"
  [ "$(wc -l < "$game/calls.txt")" -eq 1 ] && [[ "$(cat "$game/calls.txt")" == "$SKIN_MISSING"* ]] \
    || { fail "calls without a skin ($damage):"; cat "$game/calls.txt" >&2; }
done

# 6. A second copy started while one runs brings the running one forward and ends: no second
#    hint, no second window. Once while the first shows its hint, once with its window up.
game=$(new_game second)
: > "$game/tessaly.exe"
second_copy() {
  ( cd "$game" && WINEDEBUG=+relay exec wine Setup.exe </dev/null >"$game/second.txt" 2>"$game/second-relay.txt" ) &
  local second=$!
  if wait_pid "$second" 20; then
    wait "$second"; local code=$?
    [ "$code" -eq 0 ] || fail "the second copy ended with $code ($1)"
  else
    fail "the second copy is still running ($1)"; kill "$second" 2>/dev/null
  fi
  [ -z "$(calls_of "$game/second-relay.txt")" ] || fail "the second copy showed something ($1): $(calls_of "$game/second-relay.txt")"
}
( cd "$game" && exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>/dev/null ) &
pid=$!
wait_window '^安装运行提示$' 60 >/dev/null || fail "no start-up hint"
second_copy "during the hint"
[ "$(xdotool search --onlyvisible --name '^安装运行提示$' 2>/dev/null | wc -l)" -eq 1 ] || fail "two start-up hints"
answer_box '^安装运行提示$' 10 || fail "the hint did not close"
window=$(wait_window "^$TITLE\$" 30) || fail "no main window"
second_copy "with the window up"
[ "$(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null | wc -l)" -eq 1 ] || fail "two main windows"
if [ -n "${window:-}" ]; then
  xdotool mousemove 1270 790
  close_window "$window" || fail "window did not close"
fi
wait_pid "$pid" 20 || { fail "first copy still running"; kill "$pid" 2>/dev/null; }

# 7. Killed in the middle of a large entry: the entry's temporary file goes with the process and
#    the target is untouched. The process is frozen first, so that it is surely midway; a run
#    that finished the entry before the freeze is tried again.
largest=$(for name in "${NAMES[@]}"; do echo "$(stat -c %s "$(payload_file "$name")") $name"; done | sort -n | tail -1)
largest_size=${largest%% *} largest_name=${largest#* }
if [ "$largest_size" -lt $((8 << 20)) ]; then
  echo "end-to-end: no entry large enough to be caught midway; skipping the kill" >&2
else
  caught=no
  for attempt in 1 2 3; do
    game=$(new_game "killed-$attempt")
    : > "$game/tessaly.exe"
    ( cd "$game" && exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>/dev/null ) &
    pid=$!
    answer_box '^安装运行提示$' 60 || fail "no start-up hint"
    wait_window "^$TITLE\$" 30 >/dev/null || fail "no main window"
    click_control "$QUERY" Install || fail "could not press Install"
    deadline=$((SECONDS + 120)) partial=
    while [ $SECONDS -lt $deadline ] && kill -0 "$pid" 2>/dev/null; do
      partial=$(find "$game" -maxdepth 1 -name '~setup-*' -size +$((largest_size / 4096))k 2>/dev/null | head -n1)
      [ -n "$partial" ] && break
      sleep 0.02
    done
    kill -STOP "$pid" 2>/dev/null
    if [ -n "$partial" ] && [ -e "$partial" ] && ! cmp -s "$(payload_file "$largest_name")" "$(installed_path "$game" "$largest_name")"; then
      caught=yes
    fi
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ $caught = yes ] && break
    # Too late: the entry was complete. Answer nothing more; the next attempt starts afresh.
  done
  if [ $caught = no ]; then
    fail "could not catch the installation in the middle of $largest_name"
  else
    deadline=$((SECONDS + 10))
    while [ $SECONDS -lt $deadline ] && [ -n "$(leftovers "$game")" ]; do sleep 0.2; done
    [ -z "$(leftovers "$game")" ] || fail "a killed installation left $(leftovers "$game")"
    [ -e "$(installed_path "$game" "$largest_name")" ] && fail "$largest_name exists after a killed installation"
  fi
fi

[ $failures -eq 0 ] && echo "end-to-end: all checks passed"
exit $((failures > 0))
