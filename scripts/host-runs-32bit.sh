#!/usr/bin/env bash
# Tells whether this host can run 32-bit Linux programs, which 32-bit Wine (and so the 32-bit
# Dawnroll and a 32-bit prefix) needs: prints "yes" or "no". Many virtual machines and sandboxes
# turn the kernel's 32-bit emulation off; there Debian's wine32 loader fails with "Exec format
# error". DAWNROLL_NO_32BIT=1 answers "no" on any host, to try that path where 32-bit code runs.
# The check runs a tiny 32-bit program made on the spot with binutils' assembler and linker.
set -u
if [ "${DAWNROLL_NO_32BIT:-0}" = 1 ]; then
    echo no
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n movl $0, %%ebx\n int $0x80\n' >"$work/exit.s"
if as --32 "$work/exit.s" -o "$work/exit.o" 2>/dev/null && ld -m elf_i386 "$work/exit.o" -o "$work/exit" 2>/dev/null &&
    "$work/exit" 2>/dev/null; then
    echo yes
else
    echo no
fi
