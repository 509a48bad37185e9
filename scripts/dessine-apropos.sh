#!/usr/bin/env bash
# Draws the about dialog's picture, ui/apropos.jpg: a boat's wake opening on blue water.
# Needs ImageMagick's convert (Debian package imagemagick). The dialog stretches the picture
# into its 97 x 57 box; it is drawn at twice that size.
set -euo pipefail
RACINE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SORTIE="${1:-$RACINE/ui/apropos.jpg}"

convert -size 194x114 gradient:'#6fb6e4-#0a3766' \
    -fill none -strokewidth 9 -stroke 'rgba(255,255,255,0.18)' \
    -draw "path 'M 46,30 Q 120,52 200,58'" \
    -draw "path 'M 46,34 Q 96,80 150,120'" \
    -strokewidth 4 -stroke 'rgba(255,255,255,0.55)' \
    -draw "path 'M 46,30 Q 120,50 200,54'" \
    -draw "path 'M 46,34 Q 98,78 154,120'" \
    -strokewidth 2 -stroke white \
    -draw "path 'M 44,31 Q 120,48 200,50'" \
    -draw "path 'M 44,33 Q 100,76 158,120'" \
    -strokewidth 6 -stroke 'rgba(220,240,255,0.5)' \
    -draw "path 'M 50,33 Q 110,62 200,92'" \
    -stroke none -fill white \
    -draw "polygon 30,26 44,29 46,35 32,34 26,30" \
    -fill '#1d5c99' -draw "rectangle 33,28 38,31" \
    -fill none -strokewidth 1 -stroke 'rgba(255,255,255,0.6)' \
    -draw "path 'M 78,40 Q 84,50 78,60'" -draw "path 'M 108,46 Q 116,62 108,78'" \
    -draw "path 'M 140,52 Q 150,72 140,94'" -draw "path 'M 172,55 Q 184,82 172,110'" \
    -stroke none \
    -fill 'rgba(255,255,255,0.8)' \
    -draw "circle 70,44 71,44" -draw "circle 96,58 97,58" -draw "circle 88,50 89,50" \
    -draw "circle 130,70 131,70" -draw "circle 112,63 113,63" -draw "circle 150,78 151,78" \
    -strip -quality 88 "$SORTIE"
echo "$SORTIE"
