#!/usr/bin/env bash
# Remakes the user guide's pictures of the "Go" and "View" menus' features
# (doc_html/images/explore-*.png) from the viewer itself, on the bundled sample traces, under a
# virtual display: ./scripts/guide-pictures-explore.sh [BUILD_DIR]
# Needs Xvfb, xdotool and ImageMagick (./scripts/install-deps.sh installs them); builds the
# viewer first if BUILD_DIR (default build/) has none.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd || echo "${1:-$root/build}")
images="$root/doc_html/images"

if [[ ! -x $build/zelvar ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVAR_TESTS=OFF >/dev/null
  cmake --build "$build" --target zelvar -j"$(nproc)"
fi
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run ./scripts/install-deps.sh" >&2; exit 1; }
done

# A working directory of its own: parameters that point at the bundled sample (its total read
# from its last trace file) and settings of a first run, so nothing of the user's is touched.
work=$(mktemp -d)
display=""
viewer=""
cleanup() {
  [[ -n $viewer ]] && kill "$viewer" 2>/dev/null || true
  [[ -n $display ]] && kill "$display" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

sample="$root/xml"
last=$(ls "$sample/100/trace" | sed -n 's/^trace_\([0-9]*\)\.xml$/\1/p' | sort -n | tail -1)
total=$((last + $(grep -c '<date>' "$sample/100/trace/trace_$last.xml")))
printf '%s\n' "$sample/config.xml" trace "$sample/100/trace" zoom "$sample/100/zoom" 100 asm \
  "$sample/100/asm" 100 "$total" >"$work/Parametres.txt"

n=90
while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 >/dev/null 2>&1 &
display=$!
export DISPLAY=":$n" XDG_CONFIG_HOME="$work/config"
sleep 1

cd "$work"
"$build/zelvar" >/dev/null 2>&1 &
viewer=$!
window=$(xdotool search --sync --name '^Zelvar v1.0$' | head -1)
sleep 1
read -r wx wy < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')

# Places in the window at 640 x 480 with the default font: the tool bar's buttons, the top
# left corner of the cycle view's blocks (level 1 blocks are 20 pixels square).
execute=(33 42)
zoomIn=(122 42)
surfaceX=0
surfaceY=86

at() { xdotool mousemove $((wx + $1)) $((wy + $2)); }
click() { at "$1" "$2"; xdotool click 1; sleep 0.6; }
ctrlclick() { at "$1" "$2"; xdotool keydown ctrl click 1 keyup ctrl; sleep 0.4; }
# The block of cycle column $1, event row $2 (from 0), at level 1.
block() { echo $((surfaceX + $1 * 20 + 10)) $((surfaceY + $2 * 20 + 10)); }
hover() { at "$1" "$2"; sleep 0.2; at $(($1 + 1)) $(($2 + 1)); sleep 1.6; }
keys() { xdotool windowfocus "$window"; xdotool key "$@"; sleep 1; }
answer() { # types into the dialog the shortcut $1 opens
  xdotool windowfocus "$window"; xdotool key "$1"; sleep 0.8
  xdotool windowfocus "$(xdotool search --sync --name "$2" | head -1)"
  xdotool key ctrl+a; xdotool type "$3"
}
# The window, or the part x y w h of it, into doc_html/images/explore-$1.png.
shot() {
  local crop=${2:-0 0 640 480}
  read -r x y w h <<<"$crop"
  import -window root -crop "${w}x${h}+$((wx + x))+$((wy + y))" +repage "$work/shot.png"
  convert "$work/shot.png" -strip PNG8:"$images/explore-$1.png"
}

mkdir -p "$images"
click "${execute[@]}"
click "${zoomIn[@]}"
xdotool windowfocus "$window"

# A left click on the fetch block of cycle 0 reads the listing; hovering the decode block of
# cycle 1 names its four instructions.
click $(block 0 0)
hover $(block 1 1)
shot tooltip "0 60 640 280"

# A second click on the same block picks its second instruction.
click $(block 0 0)
hover $(block 0 0)
shot shared

# View > Event Names.
xdotool key --window "$window" alt+v; sleep 0.4; xdotool key Return; sleep 1
surfaceX=120
shot names "0 60 640 200"

# Go > Go to Cycle..., with the dialog open.
answer ctrl+g 'Go to Cycle' 345
sleep 0.3
shot goto
xdotool key Return; sleep 1

# Go > Find Instruction... "ld", then F3: the next cycle the pc is in.
answer ctrl+f 'Find Instruction' ld
xdotool key Return; sleep 1
keys F3
shot find

# Two markers.
ctrlclick $(block 3 2)
ctrlclick $(block 11 2)
at 600 300
sleep 0.5
shot markers
shot status "0 455 640 25"

# Ctrl+wheel: the coarser level, where the names follow the lower rows.
keys Escape
at $(block 5 3)
xdotool keydown ctrl click 5 keyup ctrl
sleep 1.5
at 600 300
shot keys "0 60 640 200"

echo "pictures written to $images"
