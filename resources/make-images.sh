#!/usr/bin/env bash
# Makes the launcher's banner (banner.jpg, 187 x 70) and icon (Vantrel.ico:
# 16, 32 and 48 pixels, 32 bits) with Debian's ImageMagick. The results are
# committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The banner: a blue gradient with the name and address. The last 2 columns
# and 5 rows are an orange frame that the 185 x 65 image control clips away.
$convert -size 187x70 xc:'#E8740C' \
  \( -size 185x65 gradient:'#1F4E8C-#5FA8E0' \) -geometry +0+0 -composite \
  -font DejaVu-Sans-Bold -pointsize 22 -fill white -annotate +10+30 'Vantrel 1.0' \
  -font DejaVu-Sans -pointsize 11 -fill '#FFE9A8' -annotate +10+52 'www.vantrel.example' \
  -fill '#FFD23F' -draw 'circle 170,34 180,34' \
  -strip -quality 92 -sampling-factor 1x1 banner.jpg

# The icon: a rounded blue square with a white "V", at each size drawn afresh.
for size in 16 32 48; do
  r=$((size / 6)); m=$((size - 1)); pt=$((size * 3 / 4))
  $convert -size ${size}x${size} xc:none \
    -fill '#1F4E8C' -draw "roundrectangle 0,0 $m,$m $r,$r" \
    -font DejaVu-Sans-Bold -pointsize $pt -fill white -gravity center -annotate +0+0 'V' \
    -define png:color-type=6 "$tmp/icon-$size.png"
done
$convert "$tmp/icon-16.png" "$tmp/icon-32.png" "$tmp/icon-48.png" Vantrel.ico
