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

# calls_of RELAYLOG: the program's calls that the user sees, one per line, with
# Wine's \XXXX escapes turned back into text ("box CAPTION|TEXT", "title T", "start CMD").
calls_of() {
  perl -CS -ne '
    sub txt { my $s = shift; $s =~ s/\\([0-9a-f]{4})/chr(hex($1))/ge; $s =~ s/\\n/ /g; $s =~ s/\\\\/\\/g; return $s }
    if (/Call user32\.MessageBoxW\(00000000,\w+ L"(.*?)",\w+ L"(.*?)",/) { print "box ", txt($2), "|", txt($1), "\n" }
    elsif (/Call user32\.SetWindowTextW\(\w+,\w+ L"(.*?)"\)/) { print "title ", txt($1), "\n" }
    elsif (/Call (?:KERNEL32|kernelbase)\.CreateProcessW\(00000000,\w+ L"(notepad[^"]*)"/) { print "start ", txt($1), "\n" }
  ' "$1"
}

# client_area CLIENT_ORIGIN_EXE [WINDOW_CLASS] -> "x y width height" of the installer's (or the
# class's) client area on the screen.
client_area() {
  local out
  out=$(mktemp)
  wine "$1" ${2:+"$2"} </dev/null >"$out" 2>/dev/null
  tr -d '\r' <"$out"
  rm -f "$out"
}

# click_client CLIENT_ORIGIN_EXE X Y [WINDOW_CLASS]: a left click at client coordinates of the
# installer's (or the class's) window.
click_client() {
  local area
  area=($(client_area "$1" ${4:+"$4"})) || return 1
  [ ${#area[@]} -eq 4 ] || { echo "installer window not found" >&2; return 1; }
  xdotool mousemove $((area[0] + $2)) $((area[1] + $3))
  sleep 0.3 # let the button see the pointer arrive before the press
  xdotool click 1
}

# The skin places the control named "Install" around this client point.
INSTALL_BUTTON_X=300
INSTALL_BUTTON_Y=326

# shoot_client CLIENT_ORIGIN_EXE FILE [WINDOW_CLASS]: a picture of the client area alone.
shoot_client() {
  local area
  area=($(client_area "$1" ${3:+"$3"})) || return 1
  import -window root -crop "${area[2]}x${area[3]}+${area[0]}+${area[1]}" +repage "$2"
}
