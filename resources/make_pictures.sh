#!/usr/bin/env bash
# Draws the two resource pictures with ImageMagick. The pictures are checked
# in; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# One row of slot cells in the map's colours: framing, guide, message, data
# and a few channels.
cells() {
    local y=$1 out=""
    local colours=("#00b400" "#0064c8" "#0064c8" "#00ff00" "#c8c8c8" "#c8c8c8" "#9b37df"
                   "#9b37df" "#9b37df" "#c8c8c8" "#df1fbf" "#df1fbf" "#c8c8c8" "#63c79f")
    for i in $(seq 0 95); do
        local x=$((7 * i + 2))
        out+="fill ${colours[$((i % ${#colours[@]}))]} rectangle $x,$y $((x + 5)),$((y + 14)) "
    done
    printf '%s' "$out"
}

convert -size 674x290 xc:'#efefef' \
    -fill '#646464' -draw 'rectangle 0,0 673,0' -draw 'rectangle 0,288 673,288' \
    -draw "$(cells 2)" -draw "$(cells 272)" \
    -font "$bold" -pointsize 46 -fill '#1f3a5f' -annotate +40+118 'Veltrane' \
    -font "$font" -pointsize 18 -fill '#333333' \
    -annotate +42+152 'SLIMbus superframe bandwidth planner' \
    -pointsize 14 -fill '#555555' \
    -annotate +42+220 'Click on the map to show the superframe.' \
    -depth 8 -define png:color-type=2 Splash.png

convert -size 674x290 gradient:'#f4f7fb-#d8e2ee' \
    -draw "$(cells 2)" -draw "$(cells 272)" \
    -font "$bold" -pointsize 40 -fill '#1f3a5f' -annotate +40+110 'Veltrane Toolbox' \
    -font "$font" -pointsize 17 -fill '#333333' \
    -annotate +42+146 'Bus bandwidth planning for MIPI SLIMbus' \
    -pointsize 14 -fill '#555555' \
    -annotate +42+200 'Channels, segment distribution and the 1536 slots of a superframe.' \
    -depth 8 -define png:color-type=2 Splash21.png
