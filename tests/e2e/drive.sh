# Helpers to drive a real Wine window on an X display (sourced by the end-to-end
# test and by scripts/demo). Every wait has a deadline: a box nobody answers
# would otherwise block for ever.

# wait_window REGEX [SECONDS] -> prints the id of the first visible window whose title matches.
wait_window() {
  local pattern="$1" deadline=$((SECONDS + ${2:-30})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  echo "timed out waiting for a window named '$pattern'" >&2
  return 1
}

# wait_gone ID [SECONDS]
wait_gone() {
  local id="$1" deadline=$((SECONDS + ${2:-15}))
  while [ $SECONDS -lt $deadline ]; do
    xdotool getwindowname "$id" >/dev/null 2>&1 || return 0
    xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.2
  done
  return 1
}

# answer_box REGEX: waits for a message box and presses its default button.
answer_box() {
  local id
  id=$(wait_window "$1" "${2:-30}") || return 1
  sleep 0.3
  xdotool windowfocus "$id" 2>/dev/null
  xdotool key Return
  wait_gone "$id" 10 || { echo "box '$1' did not close" >&2; return 1; }
}

# close_window ID: clicks the close box that Wine draws in the caption.
close_window() {
  local id="$1" X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH - 12)) $((Y + 11)) click 1
  wait_gone "$id" 10
}

# wait_pid PID [SECONDS]: true once the process has ended.
wait_pid() {
  local pid="$1" deadline=$((SECONDS + ${2:-15}))
  while [ $SECONDS -lt $deadline ]; do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.2
  done
  return 1
}

# calls_of RELAYLOG: the program's calls that the user sees or hears, one per line, with Wine's
# \XXXX escapes turned back into text: "box CAPTION|TEXT" (no owner), "owned box CAPTION|TEXT",
# "title T", "start CMD", "tune" (the tune starts). Wine cuts long texts short.
calls_of() {
  perl -CS -ne '
    sub txt { my $s = shift; $s =~ s/\\([0-9a-f]{4})/chr(hex($1))/ge; $s =~ s/\\n/ /g; $s =~ s/\\\\/\\/g; return $s }
    if (/Call user32\.MessageBoxW\((\w+),\w+ L"(.*?)"(?:\.\.\.)?,\w+ L"(.*?)",/) {
      print $1 eq "00000000" ? "box " : "owned box ", txt($3), "|", txt($2), "\n" }
    elsif (/Call user32\.SetWindowTextW\(\w+,\w+ L"(.*?)"\)/) { print "title ", txt($1), "\n" }
    elsif (/Call (?:KERNEL32|kernelbase)\.CreateProcessW\(00000000,\w+ L"(notepad[^"]*)"/) { print "start ", txt($1), "\n" }
    elsif (/Call winmm\.PlaySoundW\((\w+),/ && $1 ne "00000000") { print "tune\n" }
  ' "$1"
}

# The calls above are logged with WINEDEBUG=+relay once the prefix lists them.
relay_the_calls() {
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f /d \
    'user32.SetWindowTextW;user32.MessageBoxW;kernel32.CreateProcessW;kernelbase.CreateProcessW;winmm.PlaySoundW' \
    </dev/null >/dev/null 2>&1
}

# query QUERY_EXE ARGS...: what window_query answers about the running installer's window.
query() {
  local exe="$1" out rc; shift
  out=$(mktemp)
  wine "$exe" "$@" </dev/null >"$out" 2>/dev/null
  rc=$?
  tr -d '\r' <"$out"
  rm -f "$out"
  return $rc
}

# click_control QUERY_EXE NAME: a left click in the middle of the skin's control NAME.
click_control() {
  local at
  at=($(query "$1" control "$2")) || { echo "no control '$2' in the installer's window" >&2; return 1; }
  [ ${#at[@]} -eq 2 ] || { echo "no place for control '$2'" >&2; return 1; }
  xdotool mousemove "${at[0]}" "${at[1]}"
  sleep 0.3 # let the button see the pointer arrive before the press
  xdotool click 1
}

# shoot_client QUERY_EXE FILE: a picture of the client area alone.
shoot_client() {
  local area
  area=($(query "$1" client)) || return 1
  [ ${#area[@]} -eq 4 ] || { echo "installer window not found" >&2; return 1; }
  import -window root -crop "${area[2]}x${area[3]}+${area[0]}+${area[1]}" +repage "$2"
}

# window_client_area CLIENT_ORIGIN_EXE WINDOW_CLASS -> "x y width height" of that window's
# client area on the screen.
window_client_area() {
  local out
  out=$(mktemp)
  wine "$1" "$2" </dev/null >"$out" 2>/dev/null
  tr -d '\r' <"$out"
  rm -f "$out"
}

# click_window_client CLIENT_ORIGIN_EXE WINDOW_CLASS X Y: a left click at client coordinates.
click_window_client() {
  local area
  area=($(window_client_area "$1" "$2")) || return 1
  [ ${#area[@]} -eq 4 ] || { echo "no window of class $2" >&2; return 1; }
  xdotool mousemove $((area[0] + $3)) $((area[1] + $4))
  sleep 0.3 # let the control see the pointer arrive before the press
  xdotool click 1
}

# shoot_window_client CLIENT_ORIGIN_EXE WINDOW_CLASS FILE: a picture of that window's client area alone.
shoot_window_client() {
  local area
  area=($(window_client_area "$1" "$2")) || return 1
  [ ${#area[@]} -eq 4 ] || { echo "no window of class $2" >&2; return 1; }
  import -window root -crop "${area[2]}x${area[3]}+${area[0]}+${area[1]}" +repage "$3"
}
