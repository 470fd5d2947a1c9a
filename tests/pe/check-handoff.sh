#!/usr/bin/env bash
# Checks in a shipped program's code that every call starting another program comes right
# after a SetErrorMode call that hands back a mode held in a variable (the one the program
# was given), not a constant: a started program inherits the error mode of its parent.
# Usage: check-handoff.sh PROGRAM.exe START_FUNCTION   (WinExec, ShellExecuteExA...)
set -uo pipefail
exe=$1 start=$2
objdump=i686-w64-mingw32-objdump

# Each import's slot address: the image base, plus its DLL's first thunk, plus 4 per entry.
slots=$($objdump -p "$exe" | awk '
    function hex(text, value, i) {
        for (i = 1; i <= length(text); i++) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
        return value
    }
    /^ImageBase/ { base = hex($2) }
    /^ [0-9a-f]+\t/ { thunk = hex($6); n = 0 }
    /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { printf "0x%x %s\n", base + thunk + 4 * n++, $3 }')

# The system calls in code order, each with the instruction before it. A call through a
# register counts when the register was last loaded from an import slot.
calls=$($objdump -d -M intel --no-show-raw-insn "$exe" | awk -v slots="$slots" '
    BEGIN { n = split(slots, s, "\n"); for (i = 1; i <= n; i++) { split(s[i], f, " "); name[f[1]] = f[2] } }
    /^ +[0-9a-f]+:\t/ {
        insn = $0; sub(/^ +[0-9a-f]+:\t/, "", insn); gsub(/ +/, " ", insn)
        if (insn ~ /^mov e[a-z][a-z],DWORD PTR ds:0x[0-9a-f]+$/) reg[substr(insn, 5, 3)] = name[substr(insn, 22)]
        target = ""
        if (insn ~ /^call DWORD PTR ds:0x[0-9a-f]+$/) target = name[substr(insn, 19)]
        else if (insn ~ /^call e[a-z][a-z]$/) target = reg[substr(insn, 6)]
        if (target != "") print target "\t" previous
        previous = insn
    }')

grep -q "^$start	" <<<"$calls" || { echo "FAIL: $exe never calls $start"; exit 1; }
failed=0 last="(nothing)" last_before=""
while IFS=$'\t' read -r function before; do
    if [ "$function" = "$start" ]; then
        if [ "$last" = SetErrorMode ] && [[ $last_before == push* && $last_before != "push 0x"* ]]; then
            echo "ok: $start comes right after SetErrorMode with the given mode ($last_before)"
        else
            echo "FAIL: $start comes after $last (argument: ${last_before:-none}), not after the given mode is set back"
            failed=1
        fi
    fi
    last=$function last_before=$before
done <<<"$calls"
exit $failed
