#pragma once
// Reference counting for the objects handed to the library, and a holder for interface pointers.
#include "archive/sevenzip/ComInterfaces.h"

#include <atomic>
#include <utility>

namespace pw {

// The count starts at 0 and changes atomically: the library may take and drop references from any of
// its threads. The object frees itself when the last reference goes.
template <class Derived>
class RefCounted {
protected:
    ULONG AddReference() noexcept { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG DropReference() noexcept
    {
        const ULONG left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

private:
    std::atomic<ULONG> count_{0};
};

// Holds one reference to an object with AddRef/Release.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* object) : p_(object)
    {
        if (p_)
            p_->AddRef();
    }
    // Takes over a reference the caller already owns, as CreateObject and QueryInterface hand them out.
    static ComPtr Adopt(T* object)
    {
        ComPtr ptr;
        ptr.p_ = object;
        return ptr;
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset()
    {
        if (T* old = std::exchange(p_, nullptr))
            old->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace pw
