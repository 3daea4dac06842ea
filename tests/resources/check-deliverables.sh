#!/bin/sh
# Static check of the two plug-in DLLs: every skin id of both tables, and the Preset Manager's
# dialogs, menu and icons.
# usage: check-deliverables.sh skin_ids.h VST-DLL DSHOW-DLL
here=$(dirname "$0")
status=0
"$here/check-listed.sh" "$@" || status=1
for dll in "$2" "$3"; do
    list=$(wrestool -l "$dll") || { echo "wrestool failed on $dll"; exit 1; }
    for entry in 5:503 5:504 5:505 5:506 4:511 14:506 14:231 14:236 14:235 16:1; do
        if ! printf '%s\n' "$list" | grep -q -- "--type=${entry%%:*} --name=${entry#*:} "; then
            echo "$(basename "$dll"): resource ${entry#*:} of type ${entry%%:*} missing"
            status=1
        fi
    done
done
[ $status = 0 ] && echo "both plug-in DLLs carry the skin, the Preset Manager resources and version information"
exit $status
