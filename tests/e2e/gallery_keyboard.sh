#!/usr/bin/env bash
# Every page of the control gallery used by keyboard alone, with real key
# presses on an X display, as a user without a mouse would:
#   - Tab walks the page and reaches every control a screen reader calls
#     focusable, and comes back to where it started;
#   - no control keeps the focus: Tab moves it on, or, in a control that takes
#     Tab for its text, Ctrl+Tab does;
#   - the focused control looks different from the same control unfocused;
#   - each control does its work with a key (a check box ticks, a slider
#     moves, a list's selection moves, text is typed, ...): its value, its
#     states or its picture change.
# Which control has the focus and where it lies come from the window's
# accessible objects (accessible_client --focused).
#   gallery_keyboard.sh WINE_RUN GALLERY_EXE GALLERY_DAT CLIENT_ORIGIN_EXE ACCESSIBLE_CLIENT_EXE [PAGE...]
set -uo pipefail
WINE_RUN="$1" GALLERY="$2" SKIN="$3" ORIGIN="$4" CLIENT="$5"; shift 5
PAGES=("$@")
[ ${#PAGES[@]} -gt 0 ] || PAGES=(0 1 2 3 4 5 6 7)
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/drive.sh"
eval "$("$WINE_RUN" --env)" || exit 1

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
cp "$GALLERY" "$WORK/Gallery.exe"
cp "$SKIN" "$WORK/Gallery.dat"
cp "$CLIENT" "$WORK/accessible_client.exe"
cp "$(dirname "$GALLERY")/test_activex.dll" "$WORK/" || fail "no test_activex.dll beside $GALLERY"
TITLE='Control gallery'
# The page options of the window's header lie above this client line: Space
# on one of them would switch the page under the walk.
HEADER_BOTTOM=56

# client CLIENT_ARGS... : the client's output for the gallery, without carriage returns.
client() {
  ( cd "$WORK" && timeout 60 wine accessible_client.exe "$TITLE" "$@" </dev/null >"$WORK/client.raw" 2>"$WORK/client.err" )
  tr -d '\r' <"$WORK/client.raw"
}

# focused: "role|name|states|value|action|x,y,w,h" of the focused control, or "none".
focused() { client --focused 1; }

# The identity of a control in a line: role, name and place.
identity() { awk -F'|' '{print $1 "|" $2 "|" $6}' <<<"$1"; }
# What keys change: states and value.
condition() { awk -F'|' '{print $3 "|" $4}' <<<"$1"; }

# shoot FILE: the gallery's client area.
shoot() { shoot_window_client "$ORIGIN" GalleryUI "$1"; }

# crop_differs SHOT_A SHOT_B LINE: the number of pixels of the control's place that differ.
crop_differs() {
  local place x y w h
  place=$(awk -F'|' '{print $6}' <<<"$3")
  IFS=, read -r x y w h <<<"$place"
  x=$((x - AREA[0])) y=$((y - AREA[1]))
  [ "$w" -gt 0 ] && [ "$h" -gt 0 ] || { echo 0; return; }
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage "$WORK/crop_a.png"
  convert "$2" -crop "${w}x${h}+${x}+${y}" +repage "$WORK/crop_b.png"
  compare -metric AE "$WORK/crop_a.png" "$WORK/crop_b.png" null: 2>&1 | cut -d' ' -f1
}

# in_header LINE: the control lies among the page options.
in_header() {
  local place x y w h
  place=$(awk -F'|' '{print $6}' <<<"$1")
  IFS=, read -r x y w h <<<"$place"
  [ $((y - AREA[1])) -lt "$HEADER_BOTTOM" ]
}

# usage_key LINE: the key that puts the control to use, empty when none can be seen.
usage_key() {
  local role states
  role=$(cut -d'|' -f1 <<<"$1")
  states=$(cut -d'|' -f3 <<<"$1")
  case "$role" in
    checkbox) echo space ;;
    radiobutton) in_header "$1" || [[ ",$states," == *,checked,* ]] || echo space ;;
    slider) echo Right ;;
    list|outline) echo Down ;;
    combobox) echo Down ;;
    text) [[ ",$states," == *,readonly,* ]] || echo 7 ;;
    role*) echo Right Up ;; # the date picker: a field of the date is chosen, then goes up
    *) ;;              # push buttons act on Space with no lasting sign; panes take no keys
  esac
}

# windowed_pane LINE: the media page's second hosted control, which lives in a
# window of its own that covers anything the framework draws there; such a
# control shows the focus its own way (the test control does not).
windowed_pane() {
  [ "$page" = 4 ] && [ "$(identity "$1")" = "$(grep '^pane|' "$WORK/expected.txt" | sort -t, -k2 -n | tail -n1)" ]
}

walk_page() {
  local page="$1" pid window tree expected start line previous steps=0 moved key
  xdotool mousemove 1270 790 # the pointer stays off the window: nothing is hot
  ( cd "$WORK" && exec wine Gallery.exe --page "$page" </dev/null >"$WORK/stdout.txt" 2>"$WORK/stderr.txt" ) &
  pid=$!
  if ! window=$(wait_window "^$TITLE\$" 60); then
    fail "page $page: no window"
    kill "$pid" 2>/dev/null
    return
  fi
  sleep 1.5 # the first paint, and the page's own states
  xdotool windowfocus --sync "$window" 2>/dev/null
  sleep 0.3
  AREA=($(window_client_area "$ORIGIN" GalleryUI))
  # The controls the keyboard must reach: focusable, enabled and shown.
  client --where 1 | sed 's/^ *//' | awk -F'|' '$3 ~ /(^|,)focusable(,|$)/ && $3 !~ /unavailable|invisible/' \
    | while read -r line; do identity "$line"; done | sort -u >"$WORK/expected.txt"
  expected=$(wc -l <"$WORK/expected.txt")
  [ "$expected" -gt 0 ] || fail "page $page: no focusable control in the accessible tree"
  shoot "$WORK/base.png"
  : >"$WORK/reached.txt"

  previous=$(focused)
  initial=$(identity "$previous")
  start=""
  while [ $steps -le $((expected + 2)) ]; do
    steps=$((steps + 1))
    xdotool key Tab
    sleep 0.4
    line=$(focused)
    if [ "$line" = "$previous" ] || [ "$(identity "$line")" = "$(identity "$previous")" ]; then
      # A control that takes Tab for its text lets Ctrl+Tab out.
      xdotool key ctrl+Tab
      sleep 0.4
      line=$(focused)
      if [ "$(identity "$line")" = "$(identity "$previous")" ]; then
        fail "page $page: the focus stays on '$(identity "$previous")' against Tab and Ctrl+Tab"
        break
      fi
    fi
    if [ "$line" = none ]; then
      fail "page $page: Tab left no control focused (after '$(identity "$previous")')"
      break
    fi
    id=$(identity "$line")
    if [ -z "$start" ]; then
      start="$id"
      # The control that had the focus when the page opened, now without it.
      shoot "$WORK/base_initial.png"
    elif [ "$id" = "$start" ]; then
      break # round the page once
    fi
    echo "$id" >>"$WORK/reached.txt"

    # The focus shows: the control differs from its picture before the walk.
    shoot "$WORK/focused.png"
    base="$WORK/base.png"
    [ "$id" = "$initial" ] && base="$WORK/base_initial.png"
    [ "$(crop_differs "$WORK/focused.png" "$base" "$line")" -gt 0 ] 2>/dev/null || windowed_pane "$line" \
      || fail "page $page: '$id' looks the same focused and unfocused"

    # The control works from the keyboard.
    key=$(usage_key "$line")
    if [ -n "$key" ]; then
      xdotool key $key
      sleep 0.4
      after=$(focused)
      shoot "$WORK/used.png"
      moved=$(crop_differs "$WORK/used.png" "$WORK/focused.png" "$line")
      if [ "$(identity "$after")" != "$id" ]; then
        fail "page $page: '$key' moved the focus away from '$id' to '$(identity "$after")'"
      elif [ "$(condition "$after")" = "$(condition "$line")" ] && ! [ "$moved" -gt 0 ] 2>/dev/null; then
        fail "page $page: '$key' changed nothing on '$id'"
      fi
      line="$after"
    fi
    previous="$line"
  done
  [ "$id" = "$start" ] || fail "page $page: Tab did not come back to '$start' within $steps presses"
  sort -u "$WORK/reached.txt" >"$WORK/reached_sorted.txt"
  missed=$(comm -23 "$WORK/expected.txt" "$WORK/reached_sorted.txt")
  [ -z "$missed" ] || fail "page $page: Tab never reached: $(tr '\n' ';' <<<"$missed")"
  close_window "$window" || fail "page $page: the window did not close"
  wait_pid "$pid" 20 || { fail "page $page: the gallery did not end"; kill "$pid" 2>/dev/null; }
  echo "page $page: $(wc -l <"$WORK/reached_sorted.txt") controls reached of $expected"
}

for page in "${PAGES[@]}"; do
  walk_page "$page"
done
[ $failures -eq 0 ] && echo "gallery by keyboard: ${#PAGES[@]} pages"
exit $((failures > 0))
