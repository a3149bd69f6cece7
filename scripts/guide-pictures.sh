#!/usr/bin/env bash
# Makes the user guide's pictures (doc_html/pictures/) again, from the program itself: the viewer
# runs on the bundled sample traces on a virtual display, xdotool plays the user, ImageMagick
# takes the pictures. Run after a build (build/zelvar, or ZELVAR=path); needs xvfb, xdotool and
# imagemagick (scripts/install-deps.sh installs them).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
zelvar=${ZELVAR:-$root/build/zelvar}
out=$root/doc_html/pictures
display=:${GUIDE_DISPLAY:-71}
[[ -x $zelvar ]] || { echo "no viewer at $zelvar: build it first (scripts/run.sh or cmake)"; exit 1; }
[[ -e /tmp/.X${display#:}-lock ]] && { echo "display $display is in use: set GUIDE_DISPLAY"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
# Settings of its own (recent folders, export folder), not the user's.
export XDG_CONFIG_HOME=$work/config
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

cd "$work"
"$zelvar" "$root/xml" >/dev/null 2>&1 &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name '^Zelvar v1\.0$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT
sleep 2

# Window-relative places, for the default font and the 640 x 480 window.
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep "${3:-1.5}"; }
# A picture of the window (and of what is open over it, within w x h); kept small.
shot() {
  import -window root -crop "${2:-$WIDTH}x${3:-$HEIGHT}+$X+$Y" +repage "$work/shot.png"
  convert "$work/shot.png" -strip -colors 96 "PNG8:$out/$1"
  echo "$out/$1: $(stat -c %s "$out/$1") bytes"
}

mkdir -p "$out"
click 120 42                 # Zoom +: from level 100 to level 10
shot open-folder.png
click 20 8 1                 # the File menu
xdotool mousemove $((X + 78)) $((Y + 145)); sleep 1.5 # Recent Folders
shot file-menu.png 640 220
xdotool key Escape; sleep 0.3; xdotool key Escape; sleep 1
click 120 42                 # Zoom +: single cycles
click 30 96                  # a left click on a fetch block: its instruction in the table
click 60 300                 # a row of the table: the PC view is the one exported
shot sample-level1.png
click 20 8 1                 # File > Export View as Image…, then Save in the dialog
click 105 167 2
xdotool key Return; sleep 2
[[ -f $work/pc-view.png ]] || { echo "the export wrote no pc-view.png"; exit 1; }
convert "$work/pc-view.png" -strip -colors 96 "PNG8:$out/export-pc.png"
echo "$out/export-pc.png: $(stat -c %s "$out/export-pc.png") bytes"
