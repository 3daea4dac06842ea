#!/bin/sh
# Takes the manual's pictures of the product with the screenshot tool under Wine and either writes
# them into the manual's image folder as PNG or checks that the ones there are still what the product
# shows (pixel for pixel). Pictures the tool leaves out (windows not there yet) are named, not failed.
#   pictures.sh write|check IMAGES_DIR WINE_EXEC TOOL VST_DLL FILTER_DLL FACTORY_INI
set -u
mode=$1 images=$2 wine_exec=$3 tool=$4 vst=$5 filter=$6 ini=$7
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && "$wine_exec" "$tool" . "$(winpath "$vst")" "$(winpath "$filter")" "$(winpath "$ini")") || exit 1
for bmp in "$tmp"/*.bmp; do
    [ -e "$bmp" ] || { echo "pictures: the tool took no picture" >&2; exit 1; }
    convert "$bmp" -strip "${bmp%.bmp}.png" || exit 1
done
# The manual shows the window at 200 % as a piece at its own size (the band rows), since a help
# viewer scales pictures down crudely; the whole picture is a link.
if [ -f "$tmp/editor-200.png" ]; then
    convert "$tmp/editor-200.png" -crop 640x360+20+372 +repage -strip "$tmp/editor-200-bands.png" || exit 1
fi
fail=0
for png in "$tmp"/*.png; do
    name=$(basename "$png" .png)
    if [ "$mode" = write ]; then
        cp "$png" "$images/$name.png"
    elif [ ! -f "$images/$name.png" ]; then
        echo "pictures: $name.png is not in $images" >&2
        fail=1
    elif ! compare -metric AE "$png" "$images/$name.png" null: 2>/dev/null; then
        echo "pictures: $name.png differs from what the product shows now (cmake --build <build> --target manual-pictures)" >&2
        fail=1
    fi
done
exit $fail
