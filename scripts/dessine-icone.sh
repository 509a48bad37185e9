#!/usr/bin/env bash
# Draws the program's icon: desktop/sillage.svg (a boat's wake opening on blue water over three
# rising bars, as the about picture's wake) and its renderings desktop/icones/<N>/sillage.png at
# 48, 128 and 256 pixels. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
RACINE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SORTIE="${1:-$RACINE/desktop}"
mkdir -p "$SORTIE"

cat >"$SORTIE/sillage.svg" <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="eau" x1="0" y1="0" x2="0.35" y2="1">
      <stop offset="0" stop-color="#6fb6e4"/>
      <stop offset="1" stop-color="#0a3766"/>
    </linearGradient>
    <linearGradient id="barre" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffd36b"/>
      <stop offset="1" stop-color="#f29a1f"/>
    </linearGradient>
    <clipPath id="cadre">
      <rect x="8" y="8" width="240" height="240" rx="44"/>
    </clipPath>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="44" fill="url(#eau)"/>
  <g clip-path="url(#cadre)">
    <!-- three rising bars: the statistics -->
    <rect x="120" y="170" width="30" height="90" rx="5" fill="url(#barre)"/>
    <rect x="162" y="132" width="30" height="128" rx="5" fill="url(#barre)"/>
    <rect x="204" y="90" width="30" height="170" rx="5" fill="url(#barre)"/>
    <!-- the wake: a soft band, then two bright arms opening behind the boat -->
    <g fill="none" stroke-linecap="round">
      <path d="M 62,70 Q 150,96 262,104" stroke="#ffffff" stroke-opacity="0.25" stroke-width="22"/>
      <path d="M 62,76 Q 104,150 150,262" stroke="#ffffff" stroke-opacity="0.25" stroke-width="22"/>
      <path d="M 60,70 Q 150,92 262,98" stroke="#ffffff" stroke-width="9"/>
      <path d="M 60,76 Q 108,148 156,262" stroke="#ffffff" stroke-width="9"/>
    </g>
    <!-- the boat -->
    <path d="M 18,44 L 66,58 L 72,82 L 32,84 L 14,62 Z" fill="#ffffff"/>
    <rect x="32" y="56" width="18" height="11" fill="#1d5c99"/>
  </g>
</svg>
SVG

for taille in 48 128 256; do
    mkdir -p "$SORTIE/icones/$taille"
    rsvg-convert -w "$taille" -h "$taille" -o "$SORTIE/icones/$taille/sillage.png" "$SORTIE/sillage.svg"
done
echo "$SORTIE"
