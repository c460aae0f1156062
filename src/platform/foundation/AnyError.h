#pragma once

#include <concepts>
#include <exception>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/foundation/Error.h"

namespace platform {

// A failure of any type, kept as a value: the stored form of a thrown error.
//
// It keeps the error's dynamic type, so `as<E>()` and `rethrow()` behave as a `catch` of the
// original would. Make one from an error value, or from inside a `catch` with `current()`.
//
// Example:
//   try { open(); } catch (...) { return Result<Project>::failure(AnyError::current()); }
class AnyError {
public:
    template <class E>
    requires std::derived_from<std::decay_t<E>, std::exception> AnyError(
        E&& error)  // NOLINT(google-explicit-constructor): any error converts
        : pointer_(std::make_exception_ptr(std::forward<E>(error))) {}

    // Requires: a non-null pointer.
    explicit AnyError(std::exception_ptr pointer) : pointer_(std::move(pointer)) {}

    // The exception being handled. Requires: called inside a `catch` block.
    static AnyError current() { return AnyError(std::current_exception()); }

    std::string localizedDescription() const { return platform::localizedDescription(pointer_); }

    // The error as type E when its dynamic type is E or derives from it; null otherwise.
    // The pointer stays valid as long as this value or a copy of it lives.
    template <class E>
    const E* as() const {
        try {
            std::rethrow_exception(pointer_);
        } catch (const E& error) {
            return &error;
        } catch (...) {
            return nullptr;
        }
    }

    template <class E>
    bool is() const {
        return as<E>() != nullptr;
    }

    [[noreturn]] void rethrow() const { std::rethrow_exception(pointer_); }

    const std::exception_ptr& pointer() const { return pointer_; }

private:
    std::exception_ptr pointer_;
};

}  // namespace platform
