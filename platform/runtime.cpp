// What a C runtime would otherwise supply: the memory routines the compiler emits, the
// heap behind every string, and the error paths of the string template.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

extern "C" {
void* memcpy(void* dest, const void* src, size_t n) {
    char* d = static_cast<char*>(dest);
    const char* s = static_cast<const char*>(src);
    while (n--) *d++ = *s++;
    return dest;
}
void* memmove(void* dest, const void* src, size_t n) {
    char* d = static_cast<char*>(dest);
    const char* s = static_cast<const char*>(src);
    if (d < s) {
        while (n--) *d++ = *s++;
    } else {
        d += n;
        s += n;
        while (n--) *--d = *--s;
    }
    return dest;
}
void* memset(void* dest, int value, size_t n) {
    char* d = static_cast<char*>(dest);
    while (n--) *d++ = static_cast<char>(value);
    return dest;
}
int memcmp(const void* left, const void* right, size_t n) {
    const unsigned char* a = static_cast<const unsigned char*>(left);
    const unsigned char* b = static_cast<const unsigned char*>(right);
    for (; n; --n, ++a, ++b)
        if (*a != *b) return *a < *b ? -1 : 1;
    return 0;
}
void* memchr(const void* block, int value, size_t n) {
    const unsigned char* p = static_cast<const unsigned char*>(block);
    for (; n; --n, ++p)
        if (*p == static_cast<unsigned char>(value)) return const_cast<unsigned char*>(p);
    return nullptr;
}
size_t strlen(const char* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}
}

void* AllocateMemory(std::size_t bytes) {
    void* block = HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1);
    if (block == nullptr) Fail(FailKind::Memory, "Out of memory");
    return block;
}

void FreeMemory(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

// The string template reaches these only on a request larger than memory can hold.
namespace std {
void __throw_length_error(const char*) { Fail(FailKind::Memory, "Out of memory"); }
void __throw_logic_error(const char*) { Fail(FailKind::Internal, "Invalid string operation"); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(FailKind::Internal, "String index out of range"); }
void __throw_bad_alloc() { Fail(FailKind::Memory, "Out of memory"); }
}  // namespace std

// The slot of an interface's vtable that no class fills; never reached.
extern "C" void __cxa_pure_virtual() { Fail(FailKind::Internal, "Pure virtual call"); }
