#!/usr/bin/env bash
# Rebuilds the pictures in this folder from scratch with ImageMagick:
#
#   icon.png      window icon, 32 x 32, 8-bit palette, fully opaque
#   icon-256.png  the same design at 256 x 256, for the desktop entry
#   icon.ico      the Windows program icon: 16, 32, 48 and 256 pixels
#   title.gif     the "BINGO!" title shown on the splash and farewell
#                 windows, 485 x 129, transparent background
#
# The output is meant to be byte-for-byte reproducible: fonts are named by
# file path (no fontconfig lookup), and PNG metadata and time stamps are
# left out.
#
# Usage: assets/make-assets.sh   (from any directory)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

# Liberation Sans Bold (Debian package fonts-liberation), the metric twin of
# the Arial face used throughout the program.
FONT="${BINGO_ASSET_FONT:-/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf}"

command -v convert >/dev/null || { echo "ImageMagick 'convert' not found" >&2; exit 1; }
[[ -r "$FONT" ]] || { echo "font not found: $FONT (install fonts-liberation)" >&2; exit 1; }

NAVY='#000080'
YELLOW='#FFFF00'
RED='#FF0000'
WINDOW_BLUE='#0000C0'   # back colour of the splash and farewell windows

# PNG writer options: no text/time chunks, no colour-profile chunks.
PNG_OPTS=(-strip -define png:exclude-chunks=date,time,tIME,tEXt,zTXt,iTXt)

# Corner points of a regular octagon with flat top, bottom and sides,
# inscribed in a size x size square leaving `inset` pixels free on each side.
octagon() {
    awk -v s="$1" -v i="$2" 'BEGIN {
        c = (s - 1) / 2; a = c - i + 0.5; b = a * 0.41421356237   # tan(22.5 deg)
        printf "%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f ",
               c + a, c + b,  c + b, c + a,  c - b, c + a,  c - a, c + b
        printf "%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f\n",
               c - a, c - b,  c - b, c - a,  c + b, c - a,  c + a, c - b
    }'
}

# icon SIZE INSET POINTSIZE GLYPH-AA OUTPUT (with format prefix, e.g. PNG8:icon.png)
# Navy square, yellow octagon, black "B" centred on its ink (not its advance
# box), so it sits in the middle of the octagon. GLYPH-AA is -antialias or
# +antialias; at 32 pixels a hard-edged letter reads better than a blurred one.
icon() {
    local size=$1 inset=$2 pt=$3 aa=$4 out=$5
    convert -size "${size}x${size}" "xc:${NAVY}" \
            -fill "$YELLOW" -stroke none -draw "polygon $(octagon "$size" "$inset")" \
            \( -background none -fill black -font "$FONT" -pointsize "$pt" "$aa" label:B \
               -trim +repage \) \
            -gravity center -compose over -composite \
            -alpha off "${PNG_OPTS[@]}" "$out"
}

icon 32 1.5 23 +antialias PNG8:icon.png
icon 256 10 190 -antialias PNG24:icon-256.png
icon 16 0.5 12 +antialias PNG8:icon-16.tmp.png
icon 48 2 34 -antialias PNG24:icon-48.tmp.png
convert icon-16.tmp.png icon.png icon-48.tmp.png icon-256.png icon.ico
rm -f icon-16.tmp.png icon-48.tmp.png

# Title: drawn at four times the size and scaled down into the picture, which
# gives smooth edges. The red word is stretched a little in height so that it
# fills the picture. It is then laid onto the windows' dark blue and only the
# untouched blue is made transparent: GIF has 1-bit transparency, so the
# anti-aliased edge pixels keep their blend with the blue and no light halo
# shows on the window.
convert -size 2400x800 xc:none \
        -font "$FONT" -pointsize 512 -gravity center -strokewidth 8 \
        -fill black -stroke black -annotate +20+20 'BINGO!' \
        -fill "$RED" -stroke "$RED" -annotate +0+0 'BINGO!' \
        -trim +repage \
        -filter Lanczos -resize '475x117!' \
        -background none -gravity center -extent 485x129 \
        -background "$WINDOW_BLUE" -flatten \
        -alpha set -fuzz 0 -transparent "$WINDOW_BLUE" \
        +dither -colors 255 \
        -strip title.gif

echo "wrote icon.png icon-256.png icon.ico title.gif in $here"
