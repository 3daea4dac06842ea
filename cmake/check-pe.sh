#!/bin/sh
# check-pe.sh OBJDUMP FILE EXPORTS
# Fails unless FILE imports only system DLLs, exports exactly the comma-separated undecorated names
# and carries no debug sections (the download is stripped).
objdump="$1"; file="$2"; want="$3"
dump=$("$objdump" -p "$file") || { echo "cannot read $file"; exit 1; }
status=0
for dll in $(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: *//p' | tr 'A-Z' 'a-z'); do
    case "$dll" in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|ole32.dll|oleaut32.dll|comctl32.dll|comdlg32.dll|\
        shell32.dll|shlwapi.dll|version.dll|msvcrt.dll|winmm.dll|uuid.dll|api-ms-win-*) ;;
        *) echo "non-system import: $dll"; status=1 ;;
    esac
done
have=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[ \t]*\[/{print $NF;next} t&&NF==0{t=0}' | sort | tr '\n' ',' | sed 's/,$//')
want=$(printf '%s\n' "$want" | tr ',' '\n' | sort | tr '\n' ',' | sed 's/,$//')
if [ "$have" != "$want" ]; then
    echo "exports: have [$have], want [$want]"; status=1
fi
if "$objdump" -h "$file" | grep -q ' \.debug_'; then
    echo "debug sections left in $(basename "$file")"; status=1
fi
[ $status = 0 ] && echo "imports system DLLs only; exports [$have]; no debug sections"
exit $status
