#!/usr/bin/env bash
# The installer's window as the user first sees it on a display of another DPI
# (WINE_RUN_DPI, for example 144 for 150%), against expected/window_<DPI>dpi.png:
# the skin is laid out and painted for that DPI, not stretched.
#   setup_window_dpi.sh WINE_RUN SETUP_EXE SETUP_DAT CLIENT_ORIGIN_EXE
# With UPDATE_EXPECTED=1 the picture becomes the new expected picture.
set -uo pipefail
WINE_RUN="$1" SETUP="$2" SKIN="$3" ORIGIN="$4"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/drive.sh"
eval "$("$WINE_RUN" --env)" || exit 1
DPI="${WINE_RUN_DPI:-96}"
EXPECTED="$HERE/expected/window_${DPI}dpi.png"
TITLE='【Lumora】Tessaly 简体中文化补丁v1.0 安装程序'

WORK=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
cp "$SETUP" "$WORK/Setup.exe"
cp "$SKIN" "$WORK/Setup.dat"

xdotool mousemove 1270 790
( cd "$WORK" && exec wine Setup.exe </dev/null >"$WORK/stdout.txt" 2>"$WORK/stderr.txt" ) &
pid=$!
answer_box '^安装运行提示$' 60 || { echo "FAIL: no start-up hint" >&2; exit 1; }
wait_window "^$TITLE\$" 30 >/dev/null || { echo "FAIL: no main window" >&2; exit 1; }
sleep 1 # the first paint
xdotool mousemove 1270 790
shot="$WORK/window_${DPI}dpi.png"
shoot_window_client "$ORIGIN" MarnetUI "$shot" || { echo "FAIL: no picture of the window" >&2; exit 1; }
[ -n "${SHOTS_DIR:-}" ] && mkdir -p "$SHOTS_DIR" && cp "$shot" "$SHOTS_DIR/"
if [ "${UPDATE_EXPECTED:-0}" = 1 ]; then
  cp "$shot" "$EXPECTED"
  exit 0
fi
[ -f "$EXPECTED" ] || { echo "FAIL: no expected picture $EXPECTED (make one with UPDATE_EXPECTED=1)" >&2; exit 1; }
size=$(identify -format '%wx%h' "$shot") want=$(identify -format '%wx%h' "$EXPECTED")
[ "$size" = "$want" ] || { echo "FAIL: the client area is $size, not $want" >&2; cp "$shot" "${TMPDIR:-/tmp}/"; exit 1; }
differing=$(compare -metric AE -fuzz 8% "$shot" "$EXPECTED" null: 2>&1 | cut -d' ' -f1)
total=$(identify -format '%w %h' "$EXPECTED" | awk '{ print $1 * $2 }')
# Text rendering may move a few pixels between font builds; a skin drawn at the wrong scale changes thousands.
if ! [[ "$differing" =~ ^[0-9]+$ ]] || [ "$differing" -gt $((total / 200)) ]; then
  echo "FAIL: the window differs from the expected picture in '$differing' of $total pixels (kept in ${TMPDIR:-/tmp})" >&2
  cp "$shot" "${TMPDIR:-/tmp}/"
  exit 1
fi
echo "setup window: as expected at $DPI DPI"
