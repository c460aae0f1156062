#include "zip/LargestAllocation.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace zip_test {

namespace {

thread_local LargestAllocation* watching = nullptr;

}  // namespace

LargestAllocation::LargestAllocation() noexcept : outer_(watching) {
    watching = this;
}

LargestAllocation::~LargestAllocation() {
    watching = outer_;
    if (outer_ != nullptr) {
        outer_->largest_ = std::max(outer_->largest_, largest_);
    }
}

void LargestAllocation::note(std::size_t size) noexcept {
    if (watching != nullptr) {
        watching->largest_ = std::max(watching->largest_, size);
    }
}

}  // namespace zip_test

// The plain forms only; the aligned ones keep the library's own pairs.
void* operator new(std::size_t size) {
    zip_test::LargestAllocation::note(size);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    zip_test::LargestAllocation::note(size);
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept {
    return operator new(size, nothrow);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
