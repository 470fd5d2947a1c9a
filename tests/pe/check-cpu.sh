#!/usr/bin/env bash
# Checks that a program runs on the processors of Windows 95: every instruction in every
# executable section must be one the 386 and 387 know (tests/data/cpu-386.txt lists them);
# anything else (CMOV, BSWAP, CPUID, the multi-byte NOP, MMX, SSE...) fails the check,
# named with its address, and so does a byte sequence that decodes to no instruction.
# Usage: check-cpu.sh PROGRAM.exe|OBJECT.o
set -uo pipefail
file=$1
objdump=i686-w64-mingw32-objdump

known=" $(grep -v '^#' "$(dirname "$0")/../data/cpu-386.txt" | tr '\n' ' ') "
prefixes=" rep repz repe repnz repne lock data16 addr16 cs ds es fs gs ss "

listing=$($objdump -d -M intel,i386 "$file") || { echo "FAIL: cannot disassemble $file"; exit 1; }
[[ $listing == *"Disassembly of section"* ]] || { echo "FAIL: no code found in $file"; exit 1; }

count=0 failed=0
while IFS=$'\t' read -r address _ text; do
    [[ $address =~ ^\ *[0-9a-f]+:$ ]] || continue
    [[ -z $text ]] && continue  # the rest of a long instruction's bytes
    read -ra words <<<"${text%%<*}"
    i=0
    while (( i < ${#words[@]} )) && [[ $prefixes == *" ${words[i]} "* ]]; do i=$((i + 1)); done
    mnemonic=${words[i]:-}
    operands=${words[*]:i+1}
    ((count++))
    why=
    if [[ $known != *" $mnemonic "* ]]; then why="not a 386/387 instruction"
    elif [[ $mnemonic == nop && -n $operands ]]; then why="multi-byte NOP (Pentium Pro)"
    elif [[ $operands =~ (^|[^a-z])([xyz]?mm[0-9]+|cr4|k[0-7])([^a-z0-9]|$) ]]; then why="register ${BASH_REMATCH[2]}"
    fi
    if [[ -n $why ]]; then
        echo "FAIL: at ${address//[ :]/}: ${text%% } ($why)"
        failed=1
    fi
done <<<"$listing"
(( count > 0 )) || { echo "FAIL: no instructions read from $file"; exit 1; }
(( failed )) || echo "ok: $count instructions, all known to the 386/387"
exit $failed
