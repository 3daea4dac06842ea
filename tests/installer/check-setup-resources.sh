#!/bin/sh
# Static check of the two programs' resources: the wizard's pages, side picture and icon, the
# uninstaller's dialog and icons, and version information on both.
# usage: check-setup-resources.sh SETUP.EXE UNINSTALL.EXE
status=0
check() { # file type:name...
    file=$1; shift
    list=$(wrestool -l "$file") || { echo "wrestool failed on $file"; exit 1; }
    for entry in "$@"; do
        printf '%s\n' "$list" | grep -q -- "--type=${entry%%:*} --name=${entry#*:} " ||
            { echo "$(basename "$file"): resource ${entry#*:} of type ${entry%%:*} missing"; status=1; }
    done
}
check "$1" 5:107 5:108 5:109 5:110 5:111 2:104 14:104 16:1
check "$2" 5:101 14:103 14:104 14:105 16:1
[ $status = 0 ] && echo "setup and uninstaller carry their dialogs, pictures, icons and version information"
exit $status
