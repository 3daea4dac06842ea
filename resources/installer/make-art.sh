#!/bin/sh
# Draws the setup program's and the uninstaller's pictures with ImageMagick. The committed files are
# its output; run it again only to change the art.
#   side.bmp     the wizard's side picture, 61 x 266; its grey (189,189,189) is drawn transparent
#   setup.ico    the wizard's icon;  uninstall.ico the uninstaller's
#   ticked.ico, unticked.ico  the 13 x 13 check marks of the uninstaller's list
set -e
cd "$(dirname "$0")"
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
font=DejaVu-Sans-Bold

# A dark panel with a faint six-band response and the product's name up its side.
convert -size 61x266 xc:'#BDBDBD' \
    \( -size 57x262 gradient:'#1d3b63'-'#07101c' \) -geometry +2+2 -composite \
    -fill none -stroke '#3f7fbf' -strokewidth 2 \
    -draw "path 'M 8,250 C 8,210 50,200 50,170 C 50,140 10,130 10,100 C 10,70 48,60 48,30'" \
    -stroke '#2a5a8a' -strokewidth 1 \
    -draw "line 6,240 55,240" -draw "line 6,180 55,180" -draw "line 6,120 55,120" -draw "line 6,60 55,60" \
    -stroke none -fill '#e8eef6' -font $font -pointsize 15 \
    -gravity center -draw "rotate -90 text 0,0 'qv:equalizer'" \
    -type TrueColor BMP3:side.bmp

icon() { # size colour mark output
    convert -size "$1x$1" xc:none -fill "$2" -stroke '#0b1a2b' -strokewidth 1 \
        -draw "roundrectangle 0,0 $(($1-1)),$(($1-1)) 3,3" \
        -fill white -stroke none -font $font -pointsize $(($1*5/8)) -gravity center -draw "text 0,0 '$3'" \
        "$4"
}
for s in 16 32; do
    icon $s '#1d5fa3' 'qv' "$t/setup$s.png"
    icon $s '#a33a1d' 'qv' "$t/uninstall$s.png"
done
convert "$t/setup16.png" "$t/setup32.png" setup.ico
convert "$t/uninstall16.png" "$t/uninstall32.png" uninstall.ico

box() { convert -size 13x13 xc:white -fill none -stroke '#404040' -draw "rectangle 0,0 12,12" "$@"; }
box -stroke '#1a1a1a' -strokewidth 2 -draw "polyline 3,6 5,9 10,3" "$t/ticked.png"
box "$t/unticked.png"
convert "$t/ticked.png" ticked.ico
convert "$t/unticked.png" unticked.ico
