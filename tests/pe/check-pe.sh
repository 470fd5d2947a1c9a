#!/usr/bin/env bash
# Checks a shipped program's PE header and imports against what Windows 95 can load.
# Usage: check-pe.sh PROGRAM.exe ALLOWLIST MAX_BYTES IMPORTS
# (ALLOWLIST: what Windows 95 exports; IMPORTS: exactly what the program imports; both one
# "DLL Function" a line)
set -uo pipefail
exe=$1 allow=$2 max=$3 expected=$4
objdump=i686-w64-mingw32-objdump
failed=0
ok() { if eval "$1"; then echo "ok: $2"; else echo "FAIL: $2"; failed=1; fi; }

headers=$($objdump -p "$exe")
field() { awk -v k="$1" '$1 == k { print $2 }' <<<"$headers"; }
ok '[[ $($objdump -f "$exe") == *"file format pei-i386"* ]]' "PE32 for i386"
ok '[[ $(field Subsystem) == 00000002 ]]' "GUI subsystem"
ok '[[ $(field MajorSubsystemVersion).$(field MinorSubsystemVersion) == 4.0 ]]' "subsystem version 4.0"
ok '[[ $(field MajorOSystemVersion).$(field MinorOSystemVersion) == 4.0 ]]' "OS version 4.0"
ok '[[ $(grep -c "^Time/Date.*1970" <<<"$headers") == 1 ]]' "no timestamp in the header"
ok '[[ $(i686-w64-mingw32-nm "$exe" 2>&1) == *"no symbols"* ]]' "stripped"
size=$(stat -c %s "$exe")
ok '(( size <= max ))' "size $size bytes, at most $max"
ok '[[ $(grep -c "^ *[0-9]\+ \." <<<"$($objdump -h "$exe")") == 3 ]]' "three sections: code, data, resources"

imports=$(awk '/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll) }
               /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' <<<"$headers" | sort)
ok '[[ -n $imports ]]' "has an import table"
dlls=$(cut -d" " -f1 <<<"$imports" | sort -u | tr '\n' ' ')
ok '[[ $dlls =~ ^((KERNEL32|USER32|ADVAPI32|SHELL32)\ )+$ ]]' "imports only from the four system DLLs: $dlls"
listed() { grep -v '^#' "$1" | sed 's/[[:space:]]*$//' | sort; }
outside=$(comm -23 <(echo "$imports") <(listed "$allow"))
ok '[[ -z $outside ]]' "every import exported by Windows 95${outside:+ (not: $(tr '\n' ' ' <<<"$outside"))}"
unlisted=$(comm -23 <(echo "$imports") <(listed "$expected") | tr '\n' ' ')
missing=$(comm -13 <(echo "$imports") <(listed "$expected") | tr '\n' ' ')
ok '[[ -z $unlisted$missing ]]' "imports exactly $(basename "$expected")${unlisted:+ (not listed: $unlisted)}${missing:+ (listed, not imported: $missing)}"

strings16=$(strings -el "$exe")
for text in "Vellmark Software" "Corvane" "FileDescription" "FileVersion"; do
    ok 'grep -qF "$text" <<<"$strings16"' "version resource holds \"$text\""
done
exit $failed
