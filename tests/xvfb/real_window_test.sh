#!/usr/bin/env bash
# The real program in a real window on a virtual X display (Xvfb), driven by
# xdotool like a user: loads a bouquet file into each tree through Qt's file
# requester, Shift-drags a bouquet with the mouse from the left tree onto a
# bouquet of the right tree, renames a service in edit mode with the keyboard,
# saves the right tree, and compares the saved file with what the scenario
# driver (headless backend) saves after the same actions.
#
# Usage: real_window_test.sh PROGRAM SCENARIO_DRIVER SOURCE_DIR
# Exit code 77 (a skipped test for ctest) only when no virtual display starts.
set -u
program=$1
driver=$2
source_dir=$3

skip() { echo "SKIPPED: $*"; exit 77; }
fail() {
  echo "FAILED: $*"
  [ -f "$tmp/program.log" ] && { echo "--- program output"; cat "$tmp/program.log"; }
  exit 1
}

command -v Xvfb >/dev/null || skip "Xvfb is not installed (tools/setup.sh installs xvfb)"
command -v xdotool >/dev/null || skip "xdotool is not installed (tools/setup.sh installs xdotool)"

tmp=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# A display of its own; Xvfb writes the number it took.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$tmp/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$tmp/display" ] || skip "no virtual display could be started: $(head -c 300 "$tmp/xvfb.log")"
export DISPLAY=":$(head -n1 "$tmp/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
# Leaks of the X libraries are not this test's business.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

# The working folder: flag pictures, a settings file (written by a first run
# of the scenario driver, which cancels the question for satellites.xml), and
# the two bouquet files.
work="$tmp/work"
mkdir -p "$work/ovn_work" "$tmp/expected"
cp "$source_dir"/data/ovn_work/*.png "$work/ovn_work/"
cp "$source_dir"/tests/fixtures/trees/left.txt "$source_dir"/tests/fixtures/trees/export.txt "$work/"
(cd "$work" && printf 'file cancel\n' > first.txt && "$driver" first.txt >/dev/null) ||
  fail "the scenario driver could not write the settings file"
rm -f "$work/first.txt"

# What the headless program saves after the same actions.
cp -r "$work/." "$tmp/expected/"
cat > "$tmp/expected/scenario.txt" <<'EOF'
tab MainPanel 2
file left.txt
click LoadLeftButton
file export.txt
click LoadRightButton
shift on
drag LeftTree 5
drop RightTree 5
shift off
click EditModeCheck
click RightTree 4
type "RTL Television"
click EditModeCheck
file saved.txt
click SaveRightButton
EOF
(cd "$tmp/expected" && "$driver" scenario.txt >/dev/null) || fail "the scenario driver failed"

(cd "$work" && exec "$program" >"$tmp/program.log" 2>&1) &
program_pid=$!

# Waits for a window with the title; prints its id.
wait_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

window=$(wait_window "Orbvane in XML") || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$window")"
wx=$X
wy=$Y
sleep 0.5

# Positions in the main window's inner area. The tab page starts at (7, 30);
# tree items are 13 pixels high, the first one's middle 22 pixels below the
# tree's top; a bouquet's text starts about 45 pixels right of the tree's edge.
click_at() {
  xdotool mousemove --sync $((wx + $1)) $((wy + $2)) click 1
  sleep 0.3
}
item_y() { echo $((30 + 15 + 7 + 13 * $1)); }
left_x=$((7 + 15 + 60))
right_x=$((7 + 470 + 60))

# Types a path into the file requester with that title and confirms it.
answer_requester() {
  local dialog
  dialog=$(wait_window "$1") || fail "no requester \"$1\""
  sleep 0.5
  xdotool windowfocus --sync "$dialog"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$2"
  xdotool key Return
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the requester \"$1\" did not close"
}

click_at 297 17                       # the "Drag/Drop bouquets" tab
click_at $((7 + 310 + 35)) $((30 + 25 + 10))   # Load left
answer_requester "Where is the Orbvane bouquet file ?" "$work/left.txt"
click_at $((7 + 395 + 35)) $((30 + 25 + 10))   # Load right
answer_requester "Where is the DreamBoxEdit bouquets file ?" "$work/export.txt"
sleep 0.5

# Shift-drag of the left tree's bouquet "Italy" (item 5) onto the right
# tree's bouquet "France" (item 5): the bouquet and its two services go in
# before "France".
from_x=$((wx + left_x)); from_y=$((wy + $(item_y 5)))
to_x=$((wx + right_x)); to_y=$((wy + $(item_y 5)))
xdotool mousemove --sync "$from_x" "$from_y"
sleep 0.2
xdotool keydown shift
xdotool mousedown 1
sleep 0.2
for step in 1 2 3 4 5; do
  xdotool mousemove --sync $((from_x + step * 4)) $((from_y + step))
  sleep 0.1
done
sleep 0.3
xdotool keyup shift
for step in $(seq 1 10); do
  xdotool mousemove $((from_x + 20 + (to_x - from_x - 20) * step / 10)) $((from_y + 5 + (to_y - from_y - 5) * step / 10))
  sleep 0.1
done
xdotool mousemove "$to_x" "$to_y"
sleep 0.3
xdotool mouseup 1
sleep 0.8

# Edit mode: rename the service "RTL" (right item 4) by typing.
click_at $((7 + 335 + 7)) $((30 + 185 + 10))   # Edit mode
click_at $((right_x + 20)) "$(item_y 4)"
sleep 0.3
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "RTL Television"
xdotool key Return
sleep 0.3
click_at $((7 + 335 + 7)) $((30 + 185 + 10))   # Edit mode off

click_at $((7 + 395 + 35)) $((30 + 55 + 10))   # Save right
answer_requester "Save Right bouquet" "$work/saved.txt"
for _ in $(seq 50); do
  [ -f "$work/saved.txt" ] && break
  sleep 0.1
done
[ -f "$work/saved.txt" ] || fail "no file saved"
if ! cmp -s "$work/saved.txt" "$tmp/expected/saved.txt"; then
  echo "--- expected"; cut -f1-5 "$tmp/expected/saved.txt"
  echo "--- saved by the real window"; cut -f1-5 "$work/saved.txt"
  fail "the saved file differs from the headless program's"
fi
grep -q "RTL Television" "$work/saved.txt" || fail "the rename is missing"
grep -q "Italy" "$work/saved.txt" || fail "the dropped bouquet is missing"
echo "PASSED: load, Shift-drag, rename and save in the real window"
exit 0
