#pragma once
// Every byte the cabinet library holds comes from the caller's allocation callback, as the API promises.
#include "platform/cabinet/Fci.h"

#include <cstddef>
#include <new>
#include <string>
#include <vector>

namespace pw::fci {

struct MemoryCallbacks {
    PFNFCIALLOC alloc = nullptr;
    PFNFCIFREE free = nullptr;
};

template <class T>
class CallerAllocator {
public:
    using value_type = T;

    explicit CallerAllocator(MemoryCallbacks memory) : memory_(memory) {}
    template <class U>
    CallerAllocator(const CallerAllocator<U>& other) : memory_(other.memory())
    {
    }

    T* allocate(std::size_t n)
    {
        void* p = n * sizeof(T) <= 0xFFFFFFFFu ? memory_.alloc(static_cast<ULONG>(n * sizeof(T))) : nullptr;
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) { memory_.free(p); }

    MemoryCallbacks memory() const { return memory_; }
    template <class U>
    bool operator==(const CallerAllocator<U>& other) const
    {
        return memory_.alloc == other.memory().alloc && memory_.free == other.memory().free;
    }

private:
    MemoryCallbacks memory_;
};

using CallerString = std::basic_string<char, std::char_traits<char>, CallerAllocator<char>>;
template <class T>
using CallerVector = std::vector<T, CallerAllocator<T>>;

}  // namespace pw::fci
