#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// The kind a task stores. A value: compare and hash it by case.
//
// Example:
//   const auto inner = ProjectTaskInnerType::fromRawValue(2);   // project
class ProjectTaskInnerType {
public:
    enum Case : std::int64_t {
        common = 0,
        milestone = 1,
        project = 2,
    };

    constexpr ProjectTaskInnerType(Case value) : value_(value) {}

    // The case with that raw value; none for any number outside 0...2.
    static constexpr std::optional<ProjectTaskInnerType> fromRawValue(std::int64_t rawValue) {
        if (rawValue < common || rawValue > project) {
            return std::nullopt;
        }
        return static_cast<Case>(rawValue);
    }

    constexpr std::int64_t rawValue() const { return value_; }
    constexpr Case value() const { return value_; }

    constexpr bool operator==(const ProjectTaskInnerType&) const = default;

private:
    Case value_;
};

// The kind of a task as callers see it, derived from the stored kind, the children and the
// parent at every read (OrbProjectTask::type). A value: compare and hash it by case.
class OrbProjectTaskType {
public:
    enum Case : std::int64_t {
        milestone = 0,
        singleTask = 1,
        groupTask = 2,
        subProjectTask = 3,
        mainProjectTask = 4,
    };

    constexpr OrbProjectTaskType(Case value) : value_(value) {}

    // The case with that raw value; none for any number outside 0...4.
    static constexpr std::optional<OrbProjectTaskType> fromRawValue(std::int64_t rawValue) {
        if (rawValue < milestone || rawValue > mainProjectTask) {
            return std::nullopt;
        }
        return static_cast<Case>(rawValue);
    }

    constexpr std::int64_t rawValue() const { return value_; }
    constexpr Case value() const { return value_; }

    constexpr bool operator==(const OrbProjectTaskType&) const = default;

private:
    Case value_;
};

template <>
struct std::hash<ProjectTaskInnerType> {
    std::size_t operator()(ProjectTaskInnerType type) const noexcept {
        return std::hash<std::int64_t>{}(type.rawValue());
    }
};

template <>
struct std::hash<OrbProjectTaskType> {
    std::size_t operator()(OrbProjectTaskType type) const noexcept {
        return std::hash<std::int64_t>{}(type.rawValue());
    }
};
