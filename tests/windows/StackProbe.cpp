#include "tests/windows/StackProbe.h"

// The arguments are copied below a 16-byte aligned stack pointer, as a
// compiler would place them; EDI, which every callee keeps, holds where the
// stack pointer must stand after a __stdcall return.
asm(R"(
    .text
    .globl _StackDriftTrampoline
_StackDriftTrampoline:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %esp, %edi
    leal 0(,%ecx,4), %eax
    subl %eax, %edi
    andl $-16, %edi
    movl %edi, %esp
    xorl %edx, %edx
1:  cmpl %ecx, %edx
    jge 2f
    movl (%esi,%edx,4), %eax
    movl %eax, (%esp,%edx,4)
    incl %edx
    jmp 1b
2:  leal (%edi,%ecx,4), %edi
    call *8(%ebp)
    movl 20(%ebp), %ecx
    movl %eax, (%ecx)
    movl %edi, %eax
    subl %esp, %eax
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

extern "C" int __cdecl StackDriftTrampoline(const void* function, const DWORD* arguments,
                                            int count, DWORD* result);

int StackDriftOfCall(const void* function, const DWORD* arguments, int count, DWORD& result) {
    return StackDriftTrampoline(function, arguments, count, &result);
}
