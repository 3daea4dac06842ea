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
fail=0
for bmp in "$tmp"/*.bmp; do
    [ -e "$bmp" ] || { echo "pictures: the tool took no picture" >&2; exit 1; }
    name=$(basename "$bmp" .bmp)
    convert "$bmp" -strip "$tmp/$name.png" || exit 1
    if [ "$mode" = write ]; then
        cp "$tmp/$name.png" "$images/$name.png"
    elif [ ! -f "$images/$name.png" ]; then
        echo "pictures: $name.png is not in $images" >&2
        fail=1
    elif ! compare -metric AE "$tmp/$name.png" "$images/$name.png" null: 2>/dev/null; then
        echo "pictures: $name.png differs from what the product shows now (cmake --build <build> --target manual-pictures)" >&2
        fail=1
    fi
done
exit $fail
