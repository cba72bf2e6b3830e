#!/usr/bin/env bash
# The runs of instructions go from handler twin to handler twin by jumps (src/cpu/dispatch.h):
# a twin that called the next would take more stack with every instruction. On 32-bit x86
# arguments go on the stack, and a call in tail position becomes a jump only where the callee
# takes no more of them than the caller, so the machine code of Quarvend.exe is checked: no
# function but the run's entry calls through the runs' jump tables or calls a twin.
#   runs_jump_test.sh QUARVEND_EXE OBJDUMP NM
set -euo pipefail
exe=$1
objdump=$2
nm=$3

tables=$("$nm" "$exe" | awk '$3 ~ /^_?(armChainTable|thumbChainedHandlers)$/ { sub(/^0+/, "", $1); print $1 }')
if [ "$(echo "$tables" | wc -w)" -ne 2 ]; then
    echo "the runs' jump tables are not named in $exe"
    exit 1
fi
calls=$("$objdump" -d --no-show-raw-insn "$exe" | awk -v tables="$(echo "$tables" | paste -sd'|')" '
    /^[0-9a-f]+ </ { name = $2; next }
    /\tcall / && name !~ /runCpuSlices|runInstruction/ &&
        ($0 ~ ("\\*0x(" tables ")\\(") ||
         $0 ~ /<[^>]*(chainedArm|chainedThumb|chainedCondition|chainedNever|RunElsewhere)/) {
        print name " " $0
    }')
if [ -n "$calls" ]; then
    echo "calls where the runs should jump:"
    echo "$calls"
    exit 1
fi
echo "every step of a run jumps"
