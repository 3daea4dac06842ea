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

# A dark panel with a faint six-band response and the product's name up its side, drawn at scale s
# (1: side.bmp, 61 x 266; 2: side-200.bmp for 150 % and 200 % displays, 122 x 532).
side() { # scale output
    s=$1
    convert -size $((61 * s))x$((266 * s)) xc:'#BDBDBD' \
        \( -size $((57 * s))x$((262 * s)) gradient:'#1d3b63'-'#07101c' \) -geometry +$((2 * s))+$((2 * s)) -composite \
        -fill none -stroke '#3f7fbf' -strokewidth $((2 * s)) \
        -draw "path 'M $((8 * s)),$((250 * s)) C $((8 * s)),$((210 * s)) $((50 * s)),$((200 * s)) $((50 * s)),$((170 * s)) C $((50 * s)),$((140 * s)) $((10 * s)),$((130 * s)) $((10 * s)),$((100 * s)) C $((10 * s)),$((70 * s)) $((48 * s)),$((60 * s)) $((48 * s)),$((30 * s))'" \
        -stroke '#2a5a8a' -strokewidth "$s" \
        -draw "line $((6 * s)),$((240 * s)) $((55 * s)),$((240 * s))" -draw "line $((6 * s)),$((180 * s)) $((55 * s)),$((180 * s))" \
        -draw "line $((6 * s)),$((120 * s)) $((55 * s)),$((120 * s))" -draw "line $((6 * s)),$((60 * s)) $((55 * s)),$((60 * s))" \
        -stroke none -fill '#e8eef6' -font $font -pointsize $((15 * s)) \
        -gravity center -draw "rotate -90 text 0,0 'qv:equalizer'" \
        -type TrueColor "BMP3:$2"
}
side 1 side.bmp
side 2 side-200.bmp

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

box() { # size output, then drawing options
    n=$1; shift
    convert -size "${n}x${n}" xc:white -fill none -stroke '#404040' -strokewidth $((n / 13)) \
        -draw "rectangle $((n / 26)),$((n / 26)) $((n - 1 - n / 26)),$((n - 1 - n / 26))" "$@"
}
# The check marks at 13 pixels (100 %) and 26 (200 %); 150 % takes the larger, shrunk.
box 13 -stroke '#1a1a1a' -strokewidth 2 -draw "polyline 3,6 5,9 10,3" "$t/ticked13.png"
box 26 -stroke '#1a1a1a' -strokewidth 3 -draw "stroke-linejoin round stroke-linecap round polyline 6,12 10,18 20,6" \
    "$t/ticked26.png"
for n in 13 26; do
    box $n "$t/unticked$n.png"
done
convert "$t/ticked13.png" "$t/ticked26.png" ticked.ico
convert "$t/unticked13.png" "$t/unticked26.png" unticked.ico
