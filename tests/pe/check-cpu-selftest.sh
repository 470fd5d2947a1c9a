#!/usr/bin/env bash
# Shows that the processor check cannot be fooled: each instruction below, newer than the
# 386/387, is assembled between two RETs and must make the check fail, naming it; a
# sample of the 386/387's rarer instructions must pass.
# Usage: check-cpu-selftest.sh CHECK_CPU_SCRIPT
set -uo pipefail
check=$1
work=$(mktemp -d /tmp/cv-cpu.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0

assemble() {  # assemble TEXT OBJECT: Intel syntax, 32-bit code
    printf '.intel_syntax noprefix\n.text\nret\n%s\nret\n' "$1" >"$work/in.s"
    i686-w64-mingw32-as --32 -o "$2" "$work/in.s"
}

# instruction as assembled | what the check must print about it
while IFS='|' read -r insn expect; do
    [[ -z $insn || $insn == \#* ]] && continue
    if ! assemble "$insn" "$work/bad.o"; then echo "FAIL: cannot assemble '$insn'"; failed=1; continue; fi
    output=$("$check" "$work/bad.o")
    if [[ $? -ne 0 && $output == *"FAIL: at "*"$expect"* ]]; then echo "ok: caught $insn"
    else echo "FAIL: '$insn' not caught: $output"; failed=1; fi
done <<'TABLE'
# Pentium Pro and later
cmovne eax, edx|cmovne
fcmovb st, st(1)|fcmovb
fcomi st, st(1)|fcomi
fucomip st, st(1)|fucomip
rdpmc|rdpmc
sysenter|sysenter
ud2|ud2
nop DWORD PTR [eax+eax*1+0x0]|multi-byte NOP
# 486
bswap eax|bswap
cmpxchg [ecx], edx|cmpxchg
lock xadd [ecx], eax|xadd
invlpg [eax]|invlpg
wbinvd|wbinvd
# Pentium
cpuid|cpuid
rdtsc|rdtsc
rdmsr|rdmsr
wrmsr|wrmsr
cmpxchg8b [esi]|cmpxchg8b
mov cr4, eax|cr4
# MMX, SSE and their kin
emms|emms
movd mm0, eax|movd
paddb mm1, mm2|paddb
movntps [eax], xmm0|movntps
movnti [eax], ecx|movnti
sfence|sfence
lfence|lfence
mfence|mfence
prefetchnta [eax]|prefetchnta
xorps xmm0, xmm0|xorps
fisttp DWORD PTR [eax]|fisttp
endbr32|endbr32
# bytes that decode to nothing
.byte 0xff, 0xff|(bad)
TABLE

assemble 'rep movsd
rep stosb
movzx eax, BYTE PTR [esi]
movsx ecx, WORD PTR [edi+4]
shld eax, edx, 3
bts DWORD PTR [eax], 5
setne al
jecxz 1f
1: xchg ax, ax
nop
lock inc DWORD PTR [eax]
enter 8, 0
leave
fucompp
fsincos
fnstsw ax
cdq
idiv ecx
ret 8' "$work/good.o" && "$check" "$work/good.o" >"$work/good.txt"
if [[ $? -eq 0 ]]; then echo "ok: the 386/387 sample passes"
else echo "FAIL: the 386/387 sample was refused:"; cat "$work/good.txt"; failed=1; fi
exit $failed
