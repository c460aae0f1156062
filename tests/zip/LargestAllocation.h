#pragma once

#include <cstddef>

namespace zip_test {

// The largest single request for heap memory the current thread makes while one of these
// lives: what reading an archive reserves, whether or not it ever touches it. Counts every
// plain operator new of the test executable, which replaces them (LargestAllocation.cpp).
//
// Example:
//   const LargestAllocation largest;
//   LxZip::unzipFile(...);
//   EXPECT_LT(largest.bytes(), 1 << 20);
class LargestAllocation {
public:
    LargestAllocation() noexcept;
    ~LargestAllocation();
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const noexcept { return largest_; }

    // Called by the replaced operator new for every request.
    static void note(std::size_t size) noexcept;

private:
    std::size_t largest_ = 0;
    LargestAllocation* outer_;
};

}  // namespace zip_test
