#!/usr/bin/env bash
# The real installer in a temporary game folder: what the user is told, in
# which order, and the files it leaves.
#   setup_e2e.sh WINE_RUN SETUP_EXE NOTEPAD_STUB PAYLOAD_LIST
set -uo pipefail
WINE_RUN="$1" SETUP="$2" STUB="$3" LIST="$4"
source "$(dirname "$0")/drive.sh"
eval "$("$WINE_RUN" --env)" || exit 1

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

TITLE='【Lumora】Tessaly 简体中文化补丁v1.0 安装程序'
HINT='box 安装运行提示|请将安装程序放置于游戏目录下。'
mapfile -t NAMES < <(cut -f1 "$LIST")
COUNT=${#NAMES[@]}

new_game() {
  local game="$WORK/$1"
  mkdir -p "$game"
  cp "$SETUP" "$game/Setup.exe"
  cp "$STUB" "$game/notepad.exe"
  echo "$game"
}

# run_setup GAME BOX... : starts the installer, answers the hint and then each
# box matching the given captions in turn, closes the window, leaves the calls in GAME/calls.txt.
run_setup() {
  local game="$1"; shift
  ( cd "$game" && WINEDEBUG=+relay exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
  local pid=$!
  answer_box '^安装运行提示$' 60 || fail "no start-up hint"
  local caption
  for caption in "$@"; do
    answer_box "^$caption\$" 120 || fail "no box '$caption'"
  done
  local window
  window=$(wait_window "^$TITLE\$" 30) || fail "the fixed title did not return"
  [ -n "${window:-}" ] && { close_window "$window" || fail "window did not close"; }
  wait_pid "$pid" 20 || { fail "installer still running after close"; kill "$pid" 2>/dev/null; }
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

# 1. Not in the game folder: the presence box and nothing else.
game=$(new_game absent)
run_setup "$game" '安装检查'
expect_calls "$game" "$HINT
box 安装检查|请将安装程序放到游戏目录下运行。"
[ -e "$game/notepad-cmdline.txt" ] && fail "Notepad started without the game"

# 2. In the game folder: every entry in order, completion, Notepad on the notes, the title back.
game=$(new_game present)
: > "$game/tessaly.exe"
run_setup "$game" '安装程序'
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
run_setup "$game" '安装程序'
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

[ $failures -eq 0 ] && echo "end-to-end: all checks passed"
exit $((failures > 0))
