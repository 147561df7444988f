#!/usr/bin/env bash
# Every page of the control gallery, as the real Gallery.exe shows it on an X
# display, against the committed picture of that page.
#   gallery_pictures.sh WINE_RUN GALLERY_EXE GALLERY_DAT CLIENT_ORIGIN_EXE [PAGE...]
# Each page is opened with "--page N"; then a click on the second page's option
# must switch the first page to the second one, and the media page's buttons
# must start and stop its GIF. With UPDATE_EXPECTED=1 the pictures become the
# new expected pictures; with SHOTS_DIR set they are also kept there.
# With WINE_RUN_DPI set (144: a display at 150%) the gallery runs on a display
# of that DPI and its pages are compared with gallery_pageN_<DPI>dpi.png; the
# clicks at places measured at 96 DPI are then left out.
set -uo pipefail
WINE_RUN="$1" GALLERY="$2" SKIN="$3" ORIGIN="$4"; shift 4
PAGES=("$@")
[ ${#PAGES[@]} -gt 0 ] || PAGES=(0 1 2 3 4 5 6 7)
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/drive.sh"
eval "$("$WINE_RUN" --env)" || exit 1
DPI="${WINE_RUN_DPI:-96}"
SUFFIX=""
[ "$DPI" = 96 ] || SUFFIX="_${DPI}dpi"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
cp "$GALLERY" "$WORK/Gallery.exe"
cp "$SKIN" "$WORK/Gallery.dat"
# The media page's ActiveX control, which the build puts beside Gallery.exe.
cp "$(dirname "$GALLERY")/test_activex.dll" "$WORK/" || fail "no test_activex.dll beside $GALLERY"

# check_picture PAGE SHOT [NAME]: compares a picture with the page's expected one, or with
# expected/NAME.png when a name is given (or renews it).
check_picture() {
  local page="$1" shot="$2" expected="$HERE/expected/${3:-gallery_page$1}$SUFFIX.png" differing total
  [ -n "${SHOTS_DIR:-}" ] && mkdir -p "$SHOTS_DIR" && cp "$shot" "$SHOTS_DIR/"
  if [ "${UPDATE_EXPECTED:-0}" = 1 ]; then
    mkdir -p "$(dirname "$expected")" && cp "$shot" "$expected"
    return
  fi
  if [ ! -f "$expected" ]; then
    fail "page $page: no expected picture $expected (make one with UPDATE_EXPECTED=1)"
    return
  fi
  differing=$(compare -metric AE -fuzz 8% "$shot" "$expected" null: 2>&1 | cut -d' ' -f1)
  # Whole numbers: ImageMagick's own arithmetic prints large products in exponent form.
  total=$(identify -format '%w %h' "$expected" | awk '{ print $1 * $2 }')
  [[ "$total" =~ ^[0-9]+$ ]] || { fail "page $page: cannot read the size of $expected"; return; }
  # Anti-aliased text may move a few pixels between font builds; a moved or missing control changes thousands.
  if ! [[ "$differing" =~ ^[0-9]+$ ]] || [ "$differing" -gt $((total / 4000)) ]; then
    fail "$(basename "$shot" .png) differs from page $page's expected picture in '$differing' of $total pixels (kept in ${TMPDIR:-/tmp})"
    cp "$shot" "${TMPDIR:-/tmp}/"
  fi
}

# show PAGE NAME [CLICK_X CLICK_Y]: opens the gallery on PAGE, clicks the client point when
# given, and leaves a picture of the client area in $WORK/NAME.png; 1 when the window failed.
show() {
  local page="$1" name="$2" pid window status=0
  xdotool mousemove 1270 790 # the window must not open under the pointer
  ( cd "$WORK" && exec wine Gallery.exe --page "$page" </dev/null >"$WORK/stdout.txt" 2>"$WORK/stderr.txt" ) &
  pid=$!
  if window=$(wait_window '^Control gallery$' 60); then
    sleep 1 # the first paint
    if [ $# -ge 4 ]; then
      click_window_client "$ORIGIN" GalleryUI "$3" "$4" || status=1
    fi
    xdotool mousemove 1270 790 # keep the pointer off the window
    sleep 0.5
    shoot_window_client "$ORIGIN" GalleryUI "$WORK/$name.png" || status=1
    close_window "$window" || fail "$name: the window did not close"
  else
    status=1
  fi
  wait_pid "$pid" 20 || { fail "$name: the gallery did not end"; kill "$pid" 2>/dev/null; }
  return $status
}

for page in "${PAGES[@]}"; do
  if show "$page" "gallery_page$page$SUFFIX"; then
    check_picture "$page" "$WORK/gallery_page$page$SUFFIX.png"
  else
    fail "page $page: no picture of the gallery"
  fi
done

# The options switch pages: the "Text" option sits around client point (386, 28).
if [ "${UPDATE_EXPECTED:-0}" != 1 ] && [ "$DPI" = 96 ]; then
  if show 0 clicked_to_page1 312 28; then
    check_picture 1 "$WORK/clicked_to_page1.png"
  else
    fail "no picture of the gallery after the click"
  fi
fi

# The media page's Play button (client point 196, 119) animates the GIF at (20, 100), 120 x 40,
# which the page opens on its first frame; Stop (298, 119) brings that frame back.
gif_differs() { # SHOT: the number of the GIF's pixels that differ from its first frame
  convert "$1" -crop 120x40+20+100 +repage "$WORK/gif.png"
  convert "$HERE/expected/gallery_page4.png" -crop 120x40+20+100 +repage "$WORK/gif_first.png"
  compare -metric AE -fuzz 8% "$WORK/gif.png" "$WORK/gif_first.png" null: 2>&1 | cut -d' ' -f1
}
if [ "${UPDATE_EXPECTED:-0}" != 1 ] && [ "$DPI" = 96 ] && [[ " ${PAGES[*]} " == *" 4 "* ]]; then
  xdotool mousemove 1270 790
  ( cd "$WORK" && exec wine Gallery.exe --page 4 </dev/null >"$WORK/stdout.txt" 2>"$WORK/stderr.txt" ) &
  pid=$!
  if window=$(wait_window '^Control gallery$' 60); then
    sleep 1
    click_window_client "$ORIGIN" GalleryUI 196 119 || fail "the Play button could not be clicked"
    xdotool mousemove 1270 790
    moved=false
    for try in 1 2 3 4 5 6 7 8 9 10; do
      shoot_window_client "$ORIGIN" GalleryUI "$WORK/playing.png" || break
      [ "$(gif_differs "$WORK/playing.png")" -gt 100 ] 2>/dev/null && { moved=true; break; }
      sleep 0.1
    done
    $moved || fail "the GIF stayed on its first frame after Play"
    click_window_client "$ORIGIN" GalleryUI 298 119 || fail "the Stop button could not be clicked"
    xdotool mousemove 1270 790
    sleep 0.5
    if shoot_window_client "$ORIGIN" GalleryUI "$WORK/stopped.png"; then
      [ "$(gif_differs "$WORK/stopped.png")" = 0 ] || fail "Stop did not bring the GIF back to its first frame"
    else
      fail "no picture of the media page after Stop"
    fi
    close_window "$window" || fail "media page: the window did not close"
  else
    fail "media page: no window"
  fi
  wait_pid "$pid" 20 || { fail "media page: the gallery did not end"; kill "$pid" 2>/dev/null; }
fi

# A click on the first date of the input page opens its picker over it (the
# date sits around client point (136, 313)); the editor open before closes.
if [ "$DPI" = 96 ] && [[ " ${PAGES[*]} " == *" 6 "* ]]; then
  if show 6 gallery_page6_picker 136 313; then
    check_picture 6 "$WORK/gallery_page6_picker.png" gallery_page6_picker
  else
    fail "no picture of the input page with the picker open"
  fi
fi

[ $failures -eq 0 ] && echo "gallery: ${#PAGES[@]} pages as expected at $DPI DPI"
exit $((failures > 0))
