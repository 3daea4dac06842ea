#!/bin/sh
# Static check of the two programs' resources: the wizard's pages, side picture and icon, the
# uninstaller's dialog and icons, and version information on both.
# Their manifests (and the render tool's) as Windows reads them: the level each asks for, the
# version 6 common controls, the supported systems and the display scale.
# usage: check-setup-resources.sh SETUP.EXE UNINSTALL.EXE QVRENDER.EXE
status=0
check() { # file type:name...
    file=$1; shift
    list=$(wrestool -l "$file") || { echo "wrestool failed on $file"; exit 1; }
    for entry in "$@"; do
        printf '%s\n' "$list" | grep -q -- "--type=${entry%%:*} --name=${entry#*:} " ||
            { echo "$(basename "$file"): resource ${entry#*:} of type ${entry%%:*} missing"; status=1; }
    done
}
check "$1" 5:107 5:108 5:109 5:110 5:111 2:104 2:105 14:104 16:1
check "$2" 5:101 14:103 14:104 14:105 16:1
manifest() { # file level [common-controls dpi]
    file=$(basename "$1")
    text=$(wrestool -x --raw --type=24 --name=1 "$1" 2>/dev/null | tr -s ' \t\r\n' ' ')
    [ -n "$text" ] || { echo "$file: no application manifest"; status=1; return; }
    has() { printf '%s' "$text" | grep -q -- "$1" || { echo "$file: manifest lacks $2"; status=1; }; }
    has "requestedExecutionLevel level=\"$2\"" "the execution level $2"
    # Vista, 7, 8, 8.1 and 10/11
    for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
        4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
        has "supportedOS Id=\"{$os}\"" "supportedOS $os"
    done
    [ "$3" = gui ] || return
    has 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "common controls 6"
    has '<dpiAware [^>]*>true</dpiAware>' "DPI awareness"
}
manifest "$1" requireAdministrator gui
manifest "$2" requireAdministrator gui
manifest "$3" asInvoker
[ $status = 0 ] && echo "setup and uninstaller carry their dialogs, pictures, icons and version information"
exit $status
