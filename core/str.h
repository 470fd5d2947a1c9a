// The one string type of both programs: 8-bit ANSI text on the process heap.
// std::basic_string is header-only when given an allocator of its own, so the
// shipped programs link nothing of the C++ runtime library.
#pragma once
#include <cstddef>
#include <string>

// Never returns null: running out of memory ends the process.
void* AllocateMemory(std::size_t bytes);
void FreeMemory(void* block);

template <class T>
struct HeapAllocator {
    using value_type = T;
    HeapAllocator() = default;
    template <class U>
    HeapAllocator(const HeapAllocator<U>&) {}
    T* allocate(std::size_t count) { return static_cast<T*>(AllocateMemory(count * sizeof(T))); }
    void deallocate(T* block, std::size_t) { FreeMemory(block); }
};
template <class T, class U>
bool operator==(const HeapAllocator<T>&, const HeapAllocator<U>&) { return true; }
template <class T, class U>
bool operator!=(const HeapAllocator<T>&, const HeapAllocator<U>&) { return false; }

using Str = std::basic_string<char, std::char_traits<char>, HeapAllocator<char>>;

// Predicate for the first byte of a double-byte character in the system code page.
using LeadBytePredicate = bool (*)(unsigned char);
