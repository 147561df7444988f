#!/usr/bin/env bash
# The gallery and the real installer as a screen reader sees them: our own
# accessibility client asks each window for its accessible tree, checks names,
# roles and states, and operates controls through their default actions only.
# Every page of the gallery and the installer's window must give each
# focusable object a name. The installer is installed by the client's press on
# its button, which answers at once; the box the installation ends with is
# read through its own accessible tree, then answered as in the other
# end-to-end test.
#   accessible_e2e.sh WINE_RUN CLIENT_EXE GALLERY_EXE GALLERY_DAT [SETUP_EXE SETUP_DAT NOTEPAD_STUB PAYLOAD_LIST]
set -uo pipefail
WINE_RUN="$1" CLIENT="$2" GALLERY="$3" GALLERY_DAT="$4"
SETUP="${5:-}" SETUP_DAT="${6:-}" STUB="${7:-}" LIST="${8:-}"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/drive.sh"
eval "$("$WINE_RUN" --env)" || exit 1

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
cp "$CLIENT" "$WORK/accessible_client.exe"
# The pointer stays off the windows: a control under it would be read as hot.
xdotool mousemove 1270 790

# read_tree TITLE OUT [ARGS...]: the client's lines for the window, without carriage returns.
read_tree() {
  local title="$1" out="$2"; shift 2
  ( cd "$WORK" && timeout 120 wine accessible_client.exe "$title" "$@" </dev/null >"$out.raw" 2>"$out.err" )
  local rc=$?
  tr -d '\r' <"$out.raw" >"$out"
  return $rc
}

# expect_line FILE LINE: the tree has that object (indentation ignored). grep reads all its
# input: with -q it would stop at the first match and fail the pipe under pipefail.
expect_line() {
  sed 's/^ *//' "$1" | grep -xF -- "$2" >/dev/null || { fail "no '$2' in $(basename "$1")"; sed 's/^/    /' "$1" >&2; }
}

# expect_match FILE REGEX: some object of the tree matches (indentation ignored).
expect_match() {
  sed 's/^ *//' "$1" | grep -E -- "$2" >/dev/null || { fail "nothing like '$2' in $(basename "$1")"; sed 's/^/    /' "$1" >&2; }
}

# expect_all_named FILE: no focusable object without a name (role|name|states|...).
expect_all_named() {
  local unnamed
  unnamed=$(grep -E '^ *[^|]*\|\|[^|]*focusable' "$1")
  [ -z "$unnamed" ] || fail "focusable objects without a name in $(basename "$1"):
$unnamed"
}

# 1. The gallery: every page option and the controls of the first page, with their states;
#    selecting another page by its option shows that page's controls.
cp "$GALLERY" "$WORK/Gallery.exe"
cp "$GALLERY_DAT" "$WORK/Gallery.dat"
( cd "$WORK" && exec wine Gallery.exe </dev/null >"$WORK/gallery.out" 2>/dev/null ) &
gallery=$!
window=$(wait_window '^Control gallery$' 60) || fail "no gallery window"
sleep 0.5
if read_tree 'Control gallery' "$WORK/gallery.txt"; then
  expect_line "$WORK/gallery.txt" 'client|Control gallery|focused||'
  expect_line "$WORK/gallery.txt" 'radiobutton|Buttons|checked,focusable||Select'
  expect_line "$WORK/gallery.txt" 'radiobutton|Values|focusable||Select'
  expect_line "$WORK/gallery.txt" 'pushbutton|Normal|focusable||Press'
  expect_line "$WORK/gallery.txt" 'pushbutton|Focused|focused,focusable||Press'
  expect_line "$WORK/gallery.txt" 'pushbutton|Disabled|unavailable||Press'
  expect_line "$WORK/gallery.txt" 'checkbox|Checked|checked,focusable||Uncheck'
  expect_line "$WORK/gallery.txt" 'statictext|Button: normal, hot, pushed, focused, disabled|||'
else
  fail "the client could not read the gallery: $(cat "$WORK/gallery.txt.err")"
fi
expect_all_named "$WORK/gallery.txt"

# Every page, chosen through its option: the option is checked once the window has
# run the queued press, and every focusable object of the page has a name.
for page in Text Values Layouts Media Lists Input 'Rich edit' Buttons; do
  file="$WORK/page-${page// /_}.txt"
  read_tree 'Control gallery' "$file.press" --press "$page" || fail "could not select the page $page: $(cat "$file.press.err")"
  grep -qx 'pressed: 0x00000000' "$file.press" || fail "the press on $page did not succeed"
  sleep 0.7
  if read_tree 'Control gallery' "$file"; then
    expect_line "$file" "radiobutton|$page|checked,focusable||Select"
    expect_all_named "$file"
  else
    fail "the client could not read the page $page: $(cat "$file.err")"
  fi
done
values="$WORK/page-Values.txt"
grep -q '^ *slider|Normal|' "$values" || fail "no slider named Normal on the page Values"
grep -q '^ *progressbar|.*|[0-9]*%|$' "$values" || fail "no progress bar with a value on the page Values"
grep -q '^ *pushbutton|Normal|' "$values" && fail "the first page is still listed"
lists="$WORK/page-Lists.txt"
expect_match "$lists" '^list\|Files\|'
expect_match "$lists" '^listitem\|3\|selected[^|]*\|\|Select$'
expect_match "$lists" '^outline\|Parts of the patch\|'
expect_match "$lists" '^outlineitem\|Game files\|expanded[^|]*\|\|Collapse$'
expect_match "$lists" '^outlineitem\|Fonts\|collapsed[^|]*\|\|Expand$'
expect_match "$lists" '^checkbox\|Text\|checked'
expect_match "$lists" '^combobox\|Size\|[^|]*\|Medium\|Open$'
expect_match "$WORK/page-Input.txt" '^text\|Password\|'
[ -n "${window:-}" ] && { close_window "$window" || fail "the gallery did not close"; }
wait_pid "$gallery" 20 || { fail "the gallery still runs"; kill "$gallery" 2>/dev/null; }

# 2. The installer, installed by the client alone: the tree names the window and its button,
#    the press through the default action unpacks every file of the payload.
if [ -n "$SETUP" ]; then
  TITLE='【Lumora】Tessaly 简体中文化补丁v1.0 安装程序'
  BUTTON='开始安装'
  game="$WORK/game"
  mkdir -p "$game"
  cp "$SETUP" "$game/Setup.exe"
  cp "$SETUP_DAT" "$game/Setup.dat"
  cp "$STUB" "$game/notepad.exe"
  : > "$game/tessaly.exe"
  ( cd "$game" && exec wine Setup.exe </dev/null >"$game/stdout.txt" 2>/dev/null ) &
  setup=$!
  answer_box '^安装运行提示$' 60 || fail "no start-up hint"
  window=$(wait_window "^$TITLE\$" 30) || fail "no installer window"
  sleep 0.5
  # The press answers before the installation has run; the box it ends with is then
  # read through the box's own accessible tree before it is answered.
  if read_tree "$TITLE" "$WORK/setup.txt" --press "$BUTTON" --absent '安装程序'; then
    grep -qx 'pressed: 0x00000000' "$WORK/setup.txt" || fail "the press did not succeed"
    grep -qx 'absent: yes' "$WORK/setup.txt" || fail "the press returned only after the box had appeared"
  else
    fail "the client failed on the installer (or waited for the installation): $(cat "$WORK/setup.txt.err")"
  fi
  expect_line "$WORK/setup.txt" "client|$TITLE|focused||"
  expect_line "$WORK/setup.txt" "pushbutton|$BUTTON|focused,focusable||Press"
  expect_all_named "$WORK/setup.txt"
  if wait_window '^安装程序$' 120 >/dev/null; then
    read_tree '安装程序' "$WORK/box.txt" || fail "the client could not read the box: $(cat "$WORK/box.txt.err")"
    grep -q '安装完成' "$WORK/box.txt" || { fail "the box does not read 安装完成"; sed 's/^/    /' "$WORK/box.txt" >&2; }
  else
    fail "no box at the end of the installation"
  fi
  answer_box '^安装程序$' 30 || fail "the box at the end of the installation could not be answered"
  grep -q '[{}]' "$WORK/setup.txt" && fail "tags of the tagged texts are read out: $(grep '[{}]' "$WORK/setup.txt")"
  while IFS=$'\t' read -r name source; do
    case "$source" in /*) ;; *) source="$(dirname "$LIST")/$source" ;; esac
    cmp -s "$source" "$game/${name//\\//}" || fail "$name was not installed"
  done <"$LIST"
  window=$(wait_window "^$TITLE\$" 30) || fail "the title did not come back"
  [ -n "${window:-}" ] && { close_window "$window" || fail "the installer did not close"; }
  wait_pid "$setup" 20 || { fail "the installer still runs"; kill "$setup" 2>/dev/null; }
fi

[ $failures -eq 0 ] && echo "accessibility end-to-end: all checks passed"
exit $((failures > 0))
