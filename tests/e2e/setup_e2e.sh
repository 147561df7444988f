#!/usr/bin/env bash
# The real installer with its skin in a temporary game folder: what the user is
# told, in which order, what the window looks like and where it is, the files it
# leaves, and what happens without a skin, with a second copy, and when the
# process is killed midway; taking the patch off again (the Restore button and
# /restore), all-or-nothing installations, a window that stays responsive while
# a slowed installation runs, silent runs (/S) and their exit codes, and the
# path offered when rights are missing.
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
  cut_box_texts "$game/calls.txt" "$expected"
  if ! diff <(printf '%s\n' "$expected") "$game/calls.txt" >"$game/calls.diff"; then
    fail "calls differ in $(basename "$game"):"; cat "$game/calls.diff" >&2
  fi
}

# Wine's log cuts long texts short: a logged box whose text begins the expected one (and goes past
# its error code) is taken as the expected box, in place.
cut_box_texts() {
  local calls="$1" expected="$2" line want out=()
  local -a wanted
  mapfile -t wanted <<<"$expected"
  local i=0
  while IFS= read -r line; do
    want="${wanted[$i]:-}"
    if [ "$line" != "$want" ] && [[ "$line" == *box* ]] && [ ${#line} -gt 40 ] && [[ "$want" == "$line"* ]]; then
      line="$want"
    fi
    out+=("$line")
    i=$((i + 1))
  done < "$calls"
  [ ${#out[@]} -eq 0 ] || printf '%s\n' "${out[@]}" > "$calls"
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

# The game folder as the player sees it: every folder, every file with a digest of its bytes,
# leaving out what this test itself writes there.
tree_of() {
  (cd "$1" && find . \( -name relay.txt -o -name stdout.txt -o -name 'calls.*' -o -name 'second*.txt' \
      -o -name notepad-cmdline.txt -o -name tree.diff -o -name '*.png' \) -prune -o \( -type d -printf 'folder %p\n' \) -o \( -type f -print \) |
    sort | while read -r line; do
      case "$line" in folder*) echo "$line" ;; *) echo "$(md5sum < "$line" | cut -c1-32) $line" ;; esac
    done)
}
# same_tree GAME BEFORE WHAT: the folder is byte for byte what BEFORE recorded.
same_tree() {
  if ! diff "$2" <(tree_of "$1") >"$1/tree.diff"; then
    fail "$3: the game folder changed:"; cat "$1/tree.diff" >&2
  fi
}

# A game folder holding originals of the first two entries, which the patch replaces.
new_game_with_originals() {
  local game name
  game=$(new_game "$1")
  : > "$game/tessaly.exe"
  for name in "${NAMES[@]:0:2}"; do
    mkdir -p "$(dirname "$(installed_path "$game" "$name")")"
    echo "the game's own $name" > "$(installed_path "$game" "$name")"
  done
  echo "$game"
}

# run_silent GAME ARGS... : runs the installer without a window; prints its exit code.
run_silent() {
  local game="$1"; shift
  ( cd "$game" && WINEDEBUG=+relay exec wine Setup.exe "$@" </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
  local pid=$! code
  if wait_pid "$pid" 300; then
    wait "$pid"; code=$?
  else
    kill "$pid" 2>/dev/null; code=timeout
  fi
  calls_of "$game/relay.txt" > "$game/calls.txt"
  echo "$code"
}

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

# 3. An entry that cannot be written (its target is a folder): error 6 at that entry, the box
#    says the game's files were put back, and the folder is byte for byte as before, the
#    originals the entries before it replaced included. No Notepad.
game=$(new_game_with_originals failing)
k=2
mkdir -p "$(installed_path "$game" "${NAMES[$k]}")"
tree_of "$game" > "$WORK/failing.before"
run_setup "$game" yes no '安装程序'
expected="$START"
for i in $(seq 0 $k); do expected+=$'\n'"title [$((i + 1))/$COUNT] ${NAMES[$i]}"; done
expected+=$'\n'"owned box 安装程序|内部错误 错误代码: [0x00000006] 无法写入文件“${NAMES[$k]}”：已有同名的文件夹。  游戏文件未被改动：已替换的文件均已恢复原状。"
expected+=$'\n'"title $TITLE"
expect_calls "$game" "$expected"
same_tree "$game" "$WORK/failing.before" "a failure at entry $k"
[ -e "$game/notepad-cmdline.txt" ] && fail "Notepad started after a failure"
[ -z "$(leftovers "$game")" ] || fail "files left after a failure: $(leftovers "$game")"

# 3b. A game folder whose path is too long to be a current directory: the program starts elsewhere
#     (the system's folder), finds the game beside itself and installs there as anywhere else,
#     setting the originals aside in its backup folder; the Restore button puts them back.
#     Wine does not start the stand-in from a folder that long, so Notepad comes from the system's own
#     folders, as for a player: the stand-in takes the place of the prefix's Notepads for this case.
SYSTEM_NOTEPADS=("$WINEPREFIX/drive_c/windows/notepad.exe" "$WINEPREFIX/drive_c/windows/system32/notepad.exe")
stand_in_for_notepad() {
  local i
  for i in "${!SYSTEM_NOTEPADS[@]}"; do
    if [ "$1" = on ]; then
      cp "${SYSTEM_NOTEPADS[$i]}" "$WORK/system-notepad-$i.exe" && cp "$STUB" "${SYSTEM_NOTEPADS[$i]}" \
        || fail "could not stand in for the system's Notepad"
    else
      cp "$WORK/system-notepad-$i.exe" "${SYSTEM_NOTEPADS[$i]}"
    fi
    rm -f "$(dirname "${SYSTEM_NOTEPADS[$i]}")/notepad-cmdline.txt"
  done
}
# The record of whichever Notepad the system found.
system_notepad_record() {
  local notepad
  for notepad in "${SYSTEM_NOTEPADS[@]}"; do
    [ -f "$(dirname "$notepad")/notepad-cmdline.txt" ] && iconv -f UTF-16LE -t UTF-8 "$(dirname "$notepad")/notepad-cmdline.txt" 2>/dev/null
  done
}
stand_in_for_notepad on
trap 'stand_in_for_notepad off; rm -rf "$WORK"' EXIT
long_name=game-long
while [ ${#long_name} -lt 310 ]; do long_name+=/$(printf 'd%.0s' $(seq 1 50)); done
game=$(new_game_with_originals "$long_name")
rm "$game/notepad.exe"
tree_of "$game" > "$WORK/long.before"
run_setup "$game" yes no '安装程序'
windows_path="Z:${game//\//\\}"
expected="$START"
for i in "${!NAMES[@]}"; do expected+=$'\n'"title [$((i + 1))/$COUNT] ${NAMES[$i]}"; done
expected+=$'\n'"owned box 安装程序|安装完成"$'\n'"start notepad.exe"$'\n'"title $TITLE"
sed -i 's/^start notepad\.exe .*/start notepad.exe/' "$game/calls.txt" # the log cuts the long path short
expect_calls "$game" "$expected"
recorded=$(system_notepad_record)
[ "$recorded" = "notepad.exe \"$windows_path\\汉化说明.txt\"" ] || fail "Notepad got '$recorded' (long folder)"
stand_in_for_notepad off
trap 'rm -rf "$WORK"' EXIT
for name in "${NAMES[@]}"; do
  cmp -s "$(payload_file "$name")" "$(installed_path "$game" "$name")" || fail "$name differs from the payload (long folder)"
done
[ -f "$game/PatchBackup/manifest.txt" ] || fail "no backup manifest in the long folder"
[ -z "$(leftovers "$game")" ] || fail "files left in the long folder: $(leftovers "$game")"
INSTALL=Restore run_setup "$game" yes no '安装程序'
grep -qF 'owned box 安装程序|已还原游戏的原始文件，补丁已移除。' "$game/calls.txt" || fail "no box after the restore (long folder)"
rm -f "$game/notepad-cmdline.txt"
same_tree "$game" "$WORK/long.before" "install, then Restore, in the long folder"

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
#    appears, no tune plays, and the program ends with a failure. The reason follows in Chinese.
declare -A SKIN_REASON=([missing]='找不到“Setup.dat”。' [truncated]='“Setup.dat”不是有效的界面文件包，可能已损坏。')
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
  # The log may cut the reason short, but not before it begins.
  logged=$(cat "$game/calls.txt")
  [ "$(wc -l < "$game/calls.txt")" -eq 1 ] && [ ${#logged} -gt $((${#SKIN_MISSING} + 2)) ] \
    && [[ "$SKIN_MISSING  ${SKIN_REASON[$damage]}" == "$logged"* ]] \
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
    # The next run finds the interrupted one, undoes it and installs; a restore then leaves the
    # folder as it was before the first run.
    code=$(run_silent "$game" /S)
    [ "$code" = 0 ] || fail "a silent installation after the killed one ended with $code"
    for name in "${NAMES[@]}"; do
      cmp -s "$(payload_file "$name")" "$(installed_path "$game" "$name")" || fail "$name not installed after the kill"
    done
    code=$(run_silent "$game" /restore /S)
    [ "$code" = 0 ] || fail "a silent restore after the killed installation ended with $code"
    no_entry_installed "$game"
    [ -e "$game/PatchBackup" ] && fail "the backup folder stayed after a full restore"
  fi
fi

# 8. Install over originals, install again (silently), then the Restore button: every byte of
#    the originals back, the added files gone, the backup folder gone.
game=$(new_game_with_originals restore)
tree_of "$game" > "$WORK/restore.before"
run_setup "$game" yes no '安装程序'
[ -f "$game/PatchBackup/manifest.txt" ] || fail "no backup manifest after the installation"
code=$(run_silent "$game" /S)
[ "$code" = 0 ] || fail "a second, silent installation ended with $code"
[ -s "$game/calls.txt" ] && fail "the silent installation showed something: $(cat "$game/calls.txt")"
INSTALL=Restore run_setup "$game" yes no '安装程序'
grep -qF 'owned box 安装程序|已还原游戏的原始文件，补丁已移除。' "$game/calls.txt" || fail "no box after the restore"
rm -f "$game/notepad-cmdline.txt"
same_tree "$game" "$WORK/restore.before" "install twice, then Restore"

# 9. /restore after the player changed a file: the others come back, the changed one stays and
#    is named in the closing box (no main window), the exit code says so.
game=$(new_game_with_originals changed)
tree_of "$game" > "$WORK/changed.before"
code=$(run_silent "$game" /S)
[ "$code" = 0 ] || fail "the silent installation ended with $code"
echo "edited by the player" > "$(installed_path "$game" "${NAMES[1]}")"
( cd "$game" && WINEDEBUG=+relay exec wine Setup.exe /restore </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
pid=$!
answer_box '^安装程序$' 60 || fail "no box after /restore"
if wait_pid "$pid" 20; then
  wait "$pid"; code=$?
  [ "$code" -eq 11 ] || fail "/restore with a changed file ended with $code"
else
  fail "/restore still runs"; kill "$pid" 2>/dev/null
fi
calls_of "$game/relay.txt" > "$game/calls.txt"
grep -qF "box 安装程序|已还原游戏的原始文件。以下文件在安装补丁后被修改过" "$game/calls.txt" || fail "the box does not say a file was kept: $(cat "$game/calls.txt")"
grep -qF "${NAMES[1]}" "$game/relay.txt" || fail "the box does not name ${NAMES[1]}"
[ "$(cat "$(installed_path "$game" "${NAMES[1]}")")" = "edited by the player" ] || fail "the changed file was not left alone"
[ "$(cat "$(installed_path "$game" "${NAMES[0]}")")" = "the game's own ${NAMES[0]}" ] || fail "${NAMES[0]} was not restored"
[ -f "$game/PatchBackup/manifest.txt" ] || fail "the backup of the changed file went"

# 10. Silent runs: no window, no tune, no box; the exit code is the error number.
silent_code() {
  local game="$1" want="$2" what="$3" code
  shift 3
  tree_of "$game" > "$game.before"
  code=$(run_silent "$game" "$@")
  [ "$code" = "$want" ] || fail "silent run, $what: exit code $code, not $want"
  [ -s "$game/calls.txt" ] && fail "silent run, $what, showed: $(cat "$game/calls.txt")"
  [ "$want" = 0 ] || same_tree "$game" "$game.before" "silent run, $what"
}
silent_code "$(new_game silent-absent)" 7 "no game" /S
game=$(new_game_with_originals silent-folder)
mkdir -p "$(installed_path "$game" "${NAMES[3]}")"
silent_code "$game" 6 "a folder in the way" /S
silent_code "$(new_game_with_originals silent-nothing)" 10 "nothing to restore" /restore /S
# A damaged package: the signature's version bytes, or a byte inside the first stream. The package
# is the last copy of its signature in the program (the reader's own copy comes first).
damage_package() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
path, damage = sys.argv[1], sys.argv[2]
data = bytearray(open(path, 'rb').read())
at = data.rfind(b'SetupPackage\x00\x00\x01\x00')
count = struct.unpack_from('<I', data, at + 16)[0]
if damage == 'signature':
    data[at + 14] = 2
else:
    first = at + 20 + count * 92 + struct.unpack_from('<I', data, at + 20 + 80)[0]
    size = struct.unpack_from('<I', data, at + 20 + 88)[0]
    data[first + size // 2] ^= 0x55
open(path, 'wb').write(data)
PY
}
game=$(new_game_with_originals silent-signature)
damage_package "$game/Setup.exe" signature
silent_code "$game" 3 "a damaged signature" /S
game=$(new_game_with_originals silent-stream)
damage_package "$game/Setup.exe" stream
silent_code "$game" 4 "a damaged stream" /S

# 11. A slowed installation (every write waits): the window can be dragged by its caption and
#     keeps its picture, the Install button is disabled, and closing it asks whether to stop;
#     yes stops, and the folder is byte for byte as before.
game=$(new_game_with_originals slow)
tree_of "$game" > "$WORK/slow.before"
( cd "$game" && SETUP_TEST_WRITES=delay=150 WINEDEBUG=+relay exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
pid=$!
answer_box '^安装运行提示$' 60 || fail "no start-up hint"
window=$(wait_window "^$TITLE\$" 30) || fail "no main window"
sleep 0.5
click_control "$QUERY" Install || fail "could not press Install"
busy=$(wait_window '^\[[0-9]*/[0-9]*\] ' 30) || fail "no progress in the title"
if [ -n "${busy:-}" ]; then
  sleep 1
  p=($(query "$QUERY" placement))
  eval "$(xdotool getwindowgeometry --shell "$busy")"
  xdotool mousemove $((X + 60)) $((Y + 10)) mousedown 1
  sleep 0.2; xdotool mousemove $((X + 100)) $((Y + 40)); sleep 0.2; xdotool mousemove $((X + 140)) $((Y + 70))
  sleep 0.2; xdotool mouseup 1
  sleep 0.5
  q=($(query "$QUERY" placement))
  [ "${q[0]:-x} ${q[1]:-x}" = "$((p[0] + 80)) $((p[1] + 60))" ] \
    || fail "the window did not follow its caption while installing: ${p[*]:0:2} -> ${q[*]:0:2}"
  xdotool mousemove 1270 790
  sleep 0.5
  shoot_client "$QUERY" "$game/busy.png" || fail "no picture of the busy window"
  differing=$(compare -metric AE -fuzz 8% "$game/busy.png" "$EXPECTED_PICTURE" null: 2>&1 | cut -d' ' -f1)
  total=$(identify -format '%[fx:w*h]' "$EXPECTED_PICTURE")
  # Only the disabled button differs from the first picture; an unpainted window differs everywhere.
  [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -lt $((total / 10)) ] \
    || fail "the busy window is not painted: '$differing' of $total pixels differ (see $game/busy.png)"
  eval "$(xdotool getwindowgeometry --shell "$busy")"
  xdotool mousemove $((X + WIDTH - 12)) $((Y + 11)) click 1
  answer_box '^安装程序$' 20 || fail "no question when closing during the installation"
  wait_gone "$busy" 60 || fail "the window stayed after stopping"
fi
if wait_pid "$pid" 60; then
  wait "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "the stopped installer ended with $code"
else
  fail "the installer still runs after stopping"; kill "$pid" 2>/dev/null
fi
calls_of "$game/relay.txt" > "$game/calls.txt"
grep -qF "owned box 安装程序|正在安装补丁。是否停止安装？" "$game/calls.txt" || fail "the stop question was not asked: $(cat "$game/calls.txt")"
same_tree "$game" "$WORK/slow.before" "closing during the installation"

# 12. A folder the installer may not write: the box says so and offers the administrator; No
#     leaves the folder as it was.
game=$(new_game_with_originals rights)
tree_of "$game" > "$WORK/rights.before"
( cd "$game" && SETUP_TEST_WRITES=deny=2 WINEDEBUG=+relay exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>"$game/relay.txt" ) &
pid=$!
answer_box '^安装运行提示$' 60 || fail "no start-up hint"
window=$(wait_window "^$TITLE\$" 30) || fail "no main window"
sleep 0.5
click_control "$QUERY" Install || fail "could not press Install"
box=$(wait_window '^安装程序$' 120) || fail "no box about the rights"
if [ -n "${box:-}" ]; then
  sleep 0.3
  xdotool windowfocus "$box" 2>/dev/null
  xdotool key n
  wait_gone "$box" 10 || fail "the rights box did not close on No"
fi
window=$(wait_window "^$TITLE\$" 30) || fail "the fixed title did not return"
[ -n "${window:-}" ] && { xdotool mousemove 1270 790; close_window "$window" || fail "window did not close"; }
wait_pid "$pid" 20 || { fail "installer still running after close"; kill "$pid" 2>/dev/null; }
calls_of "$game/relay.txt" > "$game/calls.txt"
# The line under the code names what could not be written; Wine's log may cut the rest short.
grep -qE "^owned box 安装程序\|内部错误 错误代码: \[0x00000006\] 无法写入文件“[^”]*”：拒绝访问，没有写入权限。" "$game/calls.txt" \
  || fail "the box does not speak of rights: $(cat "$game/calls.txt")"
same_tree "$game" "$WORK/rights.before" "missing rights"

[ $failures -eq 0 ] && echo "end-to-end: all checks passed"
exit $((failures > 0))
