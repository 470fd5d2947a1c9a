#!/usr/bin/env bash
# Checks in a shipped program's code that each call starting another program comes right
# after a SetErrorMode call that sets back the mode the program was given: the value the
# program's first SetErrorMode call returned, unchanged. The started program inherits the
# error mode of its parent. The value is followed through the code in address order: a
# plain mov carries it, any other write to its place changes it, a call clobbers the
# registers the callee may use. A call through a register counts as a call of the import
# last loaded into it.
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
        op = insn; sub(/ .*/, "", op)
        target = substr(insn, length(op) + 2); source = target; sub(/,.*/, "", target); sub(/^[^,]*,?/, "", source)
        if (target ~ /^[abcd][lhx]$/) target = "e" substr(target, 1, 1) "x"  # a part of a register changes it
        if (insn ~ /^mov e..,DWORD PTR ds:0x/) held[substr(insn, 5, 3)] = name[substr(insn, 22)]
        if (op == "call") {
            called = insn ~ /ds:/ ? name[substr(insn, 19)] : held[substr(insn, 6)]
            if (called == "'"$start"'")
                print (last == "SetErrorMode" && lastGiven ? "ok" : "FAIL") ": '"$start"' comes right after " last \
                    ", given " lastArg (lastGiven ? "" : ", not the mode the program was given")
            last = called; lastArg = previous; lastGiven = previous ~ /^push / && substr(previous, 6) in given
            delete given["eax"]; delete given["ecx"]; delete given["edx"]
            if (called == "SetErrorMode" && !seen++) given["eax"] = 1
        } else if (op == "mov" && source in given) given[target] = 1
        else if (op !~ /^(push|cmp|test|j[a-z]+|ret|nop)$/) delete given[target]
        previous = insn
    }')
[ -n "$found" ] || { echo "FAIL: no call of $start found in $exe"; exit 1; }
echo "$found"
! grep -q ^FAIL <<<"$found"
