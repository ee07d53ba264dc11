#pragma once
// An allocator whose value-initialisation leaves plain values as they are,
// so resizing a vector of samples does not write zeros over memory that is
// about to be overwritten anyway. For a large buffer that also means the
// pages are only touched, one by one, as they are filled.
#include <memory>
#include <type_traits>
#include <utility>

template <typename T>
class UninitializedAllocator : public std::allocator<T> {
public:
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };

    UninitializedAllocator() = default;
    template <typename U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}

    template <typename U>
    void construct(U* where) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(where)) U;
    }
    template <typename U, typename... Args>
    void construct(U* where, Args&&... args) {
        ::new (static_cast<void*>(where)) U(std::forward<Args>(args)...);
    }
};
