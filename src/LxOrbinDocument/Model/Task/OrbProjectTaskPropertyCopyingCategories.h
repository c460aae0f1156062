#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

// Which groups of properties `OrbProjectTask::copyProperties` takes: a value of twelve flags,
// fixed once made. The memberwise constructor takes them in the order below, each on by default,
// so a value made without arguments takes every group. Callers name it as
// `OrbProjectTask::OrbProjectTaskPropertyCopyingCategories`.
//
// Example (what a combined project takes from every source task):
//   using Categories = OrbProjectTask::OrbProjectTaskPropertyCopyingCategories;
//   using enum Categories::Category;
//   const auto categories = Categories::allExcept({date, assignment, contactor});
class OrbProjectTaskPropertyCopyingCategories {
public:
    enum class Category : std::uint16_t {
        type = 1u << 0,
        date = 1u << 1,
        percentage = 1u << 2,
        dateBaseline = 1u << 3,
        assignment = 1u << 4,
        work = 1u << 5,
        workPercentage = 1u << 6,
        cost = 1u << 7,
        contactor = 1u << 8,
        urls = 1u << 9,
        icon = 1u << 10,
        color = 1u << 11,
    };

    constexpr OrbProjectTaskPropertyCopyingCategories(
        bool type = true, bool date = true, bool percentage = true, bool dateBaseline = true,
        bool assignment = true, bool work = true, bool workPercentage = true, bool cost = true,
        bool contactor = true, bool urls = true, bool icon = true, bool color = true)
        : bits_(0) {
        const bool flags[] = {type,           date, percentage, dateBaseline, assignment, work,
                              workPercentage, cost, contactor,  urls,         icon,       color};
        for (std::size_t index = 0; index < kCount; ++index) {
            if (flags[index]) {
                bits_ |= static_cast<std::uint16_t>(1u << index);
            }
        }
    }

    // Exactly the given groups; every group but the given ones.
    static constexpr OrbProjectTaskPropertyCopyingCategories only(
        std::initializer_list<Category> categories) {
        return fromBits(bitsOf(categories));
    }
    static constexpr OrbProjectTaskPropertyCopyingCategories allExcept(
        std::initializer_list<Category> categories) {
        return fromBits(kAll & ~bitsOf(categories));
    }

    constexpr bool contains(Category category) const {
        return (bits_ & static_cast<std::uint16_t>(category)) != 0;
    }
    constexpr bool type() const { return contains(Category::type); }
    constexpr bool date() const { return contains(Category::date); }
    constexpr bool percentage() const { return contains(Category::percentage); }
    constexpr bool dateBaseline() const { return contains(Category::dateBaseline); }
    constexpr bool assignment() const { return contains(Category::assignment); }
    constexpr bool work() const { return contains(Category::work); }
    constexpr bool workPercentage() const { return contains(Category::workPercentage); }
    constexpr bool cost() const { return contains(Category::cost); }
    constexpr bool contactor() const { return contains(Category::contactor); }
    constexpr bool urls() const { return contains(Category::urls); }
    constexpr bool icon() const { return contains(Category::icon); }
    constexpr bool color() const { return contains(Category::color); }

    constexpr bool operator==(const OrbProjectTaskPropertyCopyingCategories&) const = default;

private:
    static constexpr std::size_t kCount = 12;
    static constexpr std::uint16_t kAll = (1u << kCount) - 1;

    static constexpr std::uint16_t bitsOf(std::initializer_list<Category> categories) {
        std::uint16_t bits = 0;
        for (const Category category : categories) {
            bits |= static_cast<std::uint16_t>(category);
        }
        return bits;
    }
    static constexpr OrbProjectTaskPropertyCopyingCategories fromBits(std::uint16_t bits) {
        OrbProjectTaskPropertyCopyingCategories categories;
        categories.bits_ = bits;
        return categories;
    }

    std::uint16_t bits_;
};
