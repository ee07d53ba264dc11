#include "support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

// Every form of new and delete is replaced, so that whatever pair a library
// uses ends in the same malloc and free (sanitizers report mixed pairs).
namespace {

std::atomic<uint64_t> allocations{0};
std::atomic<std::size_t> tailBytes{0};
std::atomic<unsigned char> tailFill{0};

// The block is freed from its start, so a tail needs no bookkeeping.
void* fillTail(void* memory, std::size_t size, std::size_t tail) {
    if (memory && tail) std::memset(static_cast<char*>(memory) + size, tailFill.load(), tail);
    return memory;
}

void* allocate(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    size = size ? size : 1;
    const std::size_t tail = tailBytes.load();
    return fillTail(std::malloc(size + tail), size, tail);
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    size = size ? size : 1;
    const std::size_t tail = tailBytes.load();
    const std::size_t rounded = (size + tail + align - 1) / align * align;
    return fillTail(std::aligned_alloc(align, rounded), size, tail);
}

}  // namespace

uint64_t allocationCount() { return allocations.load(); }

void setAllocationTail(std::size_t bytes, unsigned char fill) {
    tailFill.store(fill);
    tailBytes.store(bytes);
}

void* operator new(std::size_t size) {
    if (void* memory = allocate(size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    if (void* memory = allocateAligned(size, alignment)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateAligned(size, alignment);
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept { std::free(memory); }
