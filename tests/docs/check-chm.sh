#!/bin/sh
# Checks the compiled manual with a reader that is not ours (extract_chmLib from chmlib): every page,
# stylesheet and picture of the sources is inside unchanged, every link and picture reference
# resolves inside (anchors included), the contents and index are registered and name existing pages,
# every page is in the contents, and every factory preset is described.
#   check-chm.sh FILE.chm SOURCE_DIR [FACTORY_INI]
set -u
chm=$1 src=$2 ini=${3:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
err() { echo "check-chm: $*" >&2; fail=1; }

extract_chmLib "$chm" "$tmp/x" >/dev/null 2>&1
x=$tmp/x
[ -f "$x/#SYSTEM" ] || { echo "check-chm: $chm cannot be unpacked" >&2; exit 1; }

files=$(cd "$src" && find . -type f \( -name '*.html' -o -name '*.css' -o -name '*.png' \) | sed 's|^\./||' | sort)
[ -n "$files" ] || { echo "check-chm: no sources in $src" >&2; exit 1; }
for f in $files; do
    cmp -s "$src/$f" "$x/$f" || err "$f is missing from the compiled file or differs from its source"
done

# resolve FROM_PAGE REF: a relative reference, optionally with an anchor, must name a file of the
# unpacked tree, and the anchor an id there.
resolve() {
    page=$1 ref=$2
    case $ref in
    http:* | https:* | mailto:*) return ;;
    /* | *:*) err "$page: $ref is not a relative reference"; return ;;
    esac
    path=${ref%%#*}
    anchor=
    case $ref in *'#'*) anchor=${ref#*#} ;; esac
    if [ -z "$path" ]; then
        target=$page
    else
        target=$(dirname "$page")/$path
        target=${target#./}
    fi
    if [ ! -f "$x/$target" ]; then
        err "$page: $ref does not resolve"
    elif [ -n "$anchor" ] && ! grep -q "id=\"$anchor\"" "$x/$target"; then
        err "$page: $ref names no anchor in $target"
    fi
}

for page in $(cd "$x" && find . -name '*.html' | sed 's|^\./||' | sort); do
    for ref in $(grep -o -E '(href|src)="[^"]*"' "$x/$page" | sed -E 's/^(href|src)="(.*)"$/\2/'); do
        resolve "$page" "$ref"
    done
done

project=$(ls "$src"/*.hhp | head -n 1)
setting() { sed -n "s/^$1=//p" "$project" | tr -d '\r'; }
for kind in "Contents file" "Index file"; do
    name=$(setting "$kind")
    if [ -z "$name" ] || [ ! -f "$x/$name" ]; then
        err "$kind ${name:-(none)} is not inside"
        continue
    fi
    grep -a -q "$name" "$x/#SYSTEM" || err "$kind $name is not registered in the file's system data"
    count=0
    for ref in $(grep -o -i '<param name="Local" value="[^"]*"' "$x/$name" | sed 's/.*value="\(.*\)"/\1/'); do
        resolve "$name" "$ref"
        count=$((count + 1))
    done
    [ "$count" -gt 0 ] || err "$name holds no entries"
done
contents=$x/$(setting "Contents file")
for f in $files; do
    case $f in *.html) grep -q "value=\"$f\"" "$contents" || err "$f is not in the contents" ;; esac
done

if [ -n "$ini" ]; then
    sed -n 's/^Name=//p' "$ini" | tr -d '\r' | while IFS= read -r name; do
        grep -q -F "<b>$name</b>" "$x/factory.html" || echo "$name"
    done > "$tmp/undescribed"
    [ -s "$tmp/undescribed" ] && err "factory presets not described: $(tr '\n' ',' < "$tmp/undescribed")"
fi

[ $fail = 0 ] && echo "check-chm: $(echo "$files" | wc -l) files inside, links, contents and index resolve"
exit $fail
