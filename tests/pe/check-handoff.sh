#!/usr/bin/env bash
# Checks in a shipped program's code that each call starting another program comes right
# after a SetErrorMode call whose argument is not a constant (the mode the program was
# given): the started program inherits the error mode of its parent. A call through a
# register counts as a call of the import last loaded into it.
# Usage: check-handoff.sh PROGRAM.exe START_FUNCTION
set -uo pipefail
exe=$1 start=$2
# Import slots (image base + the DLL's first thunk + 4 per entry) by name, then the code.
found=$({ i686-w64-mingw32-objdump -p "$exe"; echo "== code"; i686-w64-mingw32-objdump -d -M intel "$exe"; } | awk '
    function hex(text, value, i) {
        for (i = 1; i <= length(text); i++) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
        return value
    }
    /^ImageBase/ { base = hex($2) }
    /^ [0-9a-f]+\t/ { slot = base + hex($6) }
    /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { name[sprintf("0x%x", slot)] = $3; slot += 4 }
    /^ +[0-9a-f]+:\t/ {
        n = split($0, field, "\t"); insn = field[n]; gsub(/ +/, " ", insn)
        if (insn ~ /^mov e..,DWORD PTR ds:0x/) held[substr(insn, 5, 3)] = name[substr(insn, 22)]
        if (insn ~ /^call (DWORD PTR ds:0x|e..$)/) {
            called = insn ~ /ds:/ ? name[substr(insn, 19)] : held[substr(insn, 6)]
            if (called == "'"$start"'") print (last == "SetErrorMode" && lastArg !~ /^push 0x/ ? "ok" : "FAIL"), last, lastArg
            last = called; lastArg = previous
        }
        previous = insn
    }')
[ -n "$found" ] || { echo "FAIL: no call of $start found in $exe"; exit 1; }
echo "$found" | sed "s/^\(ok\|FAIL\) \([^ ]*\) /\1: $start comes right after \2, given /"
! grep -q ^FAIL <<<"$found"
