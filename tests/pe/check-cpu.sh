#!/usr/bin/env bash
# Checks that a program runs on the processors of Windows 95: every instruction in every
# executable section must be one the 386 and 387 know. The list below is what they know;
# anything else (CMOV, BSWAP, CPUID, the multi-byte NOP, MMX, SSE...) fails the check,
# named with its address, and so does a byte sequence that decodes to no instruction.
# Usage: check-cpu.sh PROGRAM.exe|OBJECT.o
set -uo pipefail
file=$1
objdump=i686-w64-mingw32-objdump

known_386=(
    # data movement and conversion
    mov movsx movzx push pop pusha pushad popa popad pushf pushfd popf popfd xchg lea
    lds les lfs lgs lss cbw cwde cwd cdq lahf sahf xlat xlatb in out
    # arithmetic and logic
    add adc sub sbb inc dec neg cmp mul imul div idiv daa das aaa aas aam aad
    and or xor not test shl sal shr sar rol ror rcl rcr shld shrd bt bts btr btc bsf bsr
    seta setae setb setbe setc sete setg setge setl setle setna setnae setnb setnbe setnc
    setne setng setnge setnl setnle setno setnp setns setnz seto setp setpe setpo sets setz
    # control transfer
    jmp call ret retf lret iret iretd enter leave int int3 into bound hlt nop
    ja jae jb jbe jc je jg jge jl jle jna jnae jnb jnbe jnc jne jng jnge jnl jnle jno jnp
    jns jnz jo jp jpe jpo js jz jcxz jecxz loop loope loopne loopz loopnz
    # strings, flags, system
    movs movsb movsw movsd cmps cmpsb cmpsw cmpsd scas scasb scasw scasd lods lodsb lodsw
    lodsd stos stosb stosw stosd ins insb insw insd outs outsb outsw outsd
    clc stc cmc cld std cli sti wait fwait
    lgdt sgdt lidt sidt lldt sldt ltr str lmsw smsw clts arpl lar lsl verr verw
    # the 387
    f2xm1 fabs fadd faddp fbld fbstp fchs fclex fnclex fcom fcomp fcompp fcos fdecstp fdiv
    fdivp fdivr fdivrp ffree fiadd ficom ficomp fidiv fidivr fild fimul fincstp finit fninit
    fist fistp fisub fisubr fld fld1 fldcw fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul
    fmulp fnop fpatan fprem fprem1 fptan frndint frstor fsave fnsave fscale fsin fsincos
    fsqrt fst fstcw fnstcw fstenv fnstenv fstp fstsw fnstsw fsub fsubp fsubr fsubrp ftst
    fucom fucomp fucompp fxam fxch fxtract fyl2x fyl2xp1
)
prefixes=" rep repz repe repnz repne lock data16 addr16 cs ds es fs gs ss "

listing=$($objdump -d -M intel,i386 "$file") || { echo "FAIL: cannot disassemble $file"; exit 1; }
[[ $listing == *"Disassembly of section"* ]] || { echo "FAIL: no code found in $file"; exit 1; }

known=" ${known_386[*]} "
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
