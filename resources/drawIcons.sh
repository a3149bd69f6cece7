#!/bin/sh
# Redraws the tool bar and help window artwork with ImageMagick. Each icon is drawn at
# 128 x 128 and scaled down to 32 x 32, which smooths the edges.
set -e
cd "$(dirname "$0")"

draw() { # output, drawing primitives...
    out=$1
    shift
    convert -size 128x128 xc:none "$@" -filter Lanczos -resize 32x32 "$out"
}

# Execute: a green start arrow on a round button.
draw execute_go.png \
    -fill '#1b7a1b' -stroke '#0c4a0c' -strokewidth 4 -draw 'circle 64,64 64,6' \
    -fill '#5fd35f' -stroke none -draw 'circle 64,64 64,14' \
    -fill white -stroke '#0c4a0c' -strokewidth 4 -draw 'polygon 48,32 48,96 100,64'

# Parameters: three sliders with their knobs at different settings.
draw parameters.png \
    -stroke '#404040' -strokewidth 10 -draw 'line 14,28 114,28' -draw 'line 14,64 114,64' \
    -draw 'line 14,100 114,100' \
    -fill '#3c78d8' -stroke '#1c3f7a' -strokewidth 5 \
    -draw 'roundrectangle 34,12 54,44 5,5' -draw 'roundrectangle 78,48 98,80 5,5' \
    -draw 'roundrectangle 22,84 42,116 5,5'

magnifier() { # output, sign primitives
    out=$1
    shift
    draw "$out" \
        -stroke '#5a3a1a' -strokewidth 18 -draw 'line 80,80 118,118' \
        -fill '#dceeff' -stroke '#303030' -strokewidth 9 -draw 'circle 52,52 52,12' \
        -stroke '#c01818' -strokewidth 11 "$@"
}
# Zoom + and Zoom -: a magnifying glass with the sign in its lens.
magnifier loupe_plus.png -draw 'line 32,52 72,52' -draw 'line 52,32 52,72'
magnifier loupe_moins.png -draw 'line 32,52 72,52'

# Legend: colour swatches, each followed by a line of "text".
draw legend.png \
    -fill white -stroke '#505050' -strokewidth 4 -draw 'rectangle 4,4 124,124' \
    -stroke black -strokewidth 4 \
    -fill '#2050e0' -draw 'rectangle 14,14 42,40' \
    -fill '#e02020' -draw 'rectangle 14,50 42,76' \
    -fill '#20b020' -draw 'rectangle 14,86 42,112' \
    -stroke '#606060' -strokewidth 8 \
    -draw 'line 54,27 112,27' -draw 'line 54,63 100,63' -draw 'line 54,99 108,99'

# Help window: back and forward arrows, and a house.
draw back.xpm \
    -fill '#2a6fd6' -stroke '#13386e' -strokewidth 5 \
    -draw 'polygon 10,64 60,16 60,44 116,44 116,84 60,84 60,112'
draw forward.xpm \
    -fill '#2a6fd6' -stroke '#13386e' -strokewidth 5 \
    -draw 'polygon 118,64 68,16 68,44 12,44 12,84 68,84 68,112'
draw home.xpm \
    -fill '#d8d0b8' -stroke '#4a3a2a' -strokewidth 5 -draw 'rectangle 26,60 102,116' \
    -fill '#c03020' -stroke '#5a1a10' -strokewidth 5 -draw 'polygon 8,66 64,12 120,66' \
    -fill '#7a4a20' -stroke '#4a3a2a' -strokewidth 4 -draw 'rectangle 54,80 74,116' \
    -fill '#9cd0f0' -draw 'rectangle 32,70 48,86' -draw 'rectangle 80,70 96,86'
