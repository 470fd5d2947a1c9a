#!/usr/bin/env bash
# Shows that the processor check cannot be fooled: each instruction of tests/data/cpu-selftest.txt
# newer than the 386/387, assembled between two RETs, must make the check fail, naming it; the
# sample there of the 386/387's rarer instructions must pass.
# Usage: check-cpu-selftest.sh CHECK_CPU_SCRIPT
set -uo pipefail
check=$1
table=$(dirname "$0")/../data/cpu-selftest.txt
work=$(mktemp -d /tmp/cv-cpu.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0

assemble() {  # assemble TEXT OBJECT: Intel syntax, 32-bit code
    printf '.intel_syntax noprefix\n.text\nret\n%s\nret\n' "$1" >"$work/in.s"
    i686-w64-mingw32-as --32 -o "$2" "$work/in.s"
}

while IFS='|' read -r insn expect; do
    [[ -z $expect || $insn == \#* ]] && continue
    if ! assemble "$insn" "$work/bad.o"; then echo "FAIL: cannot assemble '$insn'"; failed=1; continue; fi
    output=$("$check" "$work/bad.o")
    if [[ $? -ne 0 && $output == *"FAIL: at "*"$expect"* ]]; then echo "ok: caught $insn"
    else echo "FAIL: '$insn' not caught: $output"; failed=1; fi
done <"$table"

sample=$(grep -v '^#' "$table" | grep -v '|')
[[ -n $sample ]] && assemble "$sample" "$work/good.o" && "$check" "$work/good.o" >"$work/good.txt"
if [[ $? -eq 0 ]]; then echo "ok: the 386/387 sample passes"
else echo "FAIL: the 386/387 sample was refused:"; cat "$work/good.txt"; failed=1; fi
exit $failed
