#!/bin/sh
# Static check: every id of the skin table is in its DLL with the right resource type.
# usage: check-listed.sh skin_ids.h VST-DLL DSHOW-DLL
ids=$1; vst=$2; ds=$3
status=0
check() { # dll prefix
    list=$(wrestool -l "$1") || { echo "wrestool failed on $1"; status=1; return; }
    found=0
    for kind in BMP:2 RAW:10 CUR:12; do
        name=${kind%%:*}; type=${kind#*:}
        for id in $(sed -n "s/^#define SKIN_$2_${name}_[A-Z_]* *\([0-9][0-9]*\).*/\1/p" "$ids"); do
            found=$((found + 1))
            if ! printf '%s\n' "$list" | grep -q -- "--type=$type --name=$id "; then
                echo "$(basename "$1"): id $id of type $type missing"
                status=1
            fi
        done
    done
    # Anything less means the table itself was not read.
    [ "$found" -ge 29 ] || { echo "only $found ids read for $2"; status=1; }
}
check "$vst" VST
check "$ds" DS
exit $status
