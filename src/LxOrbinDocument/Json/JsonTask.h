#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "LxOrbinDocument/Json/JsonLeafRecords.h"
#include "LxOrbinDocument/Json/JsonRecordFields.h"
#include "platform/foundation/Date.h"

// The kind of a task as the project document codes it: a bare integer 0, 1 or 2, the numbers of
// the model's inner task kind. A value: compare and hash it by case.
//
// Example:
//   const auto type = JsonTaskType::fromRawValue(2);   // JsonTaskType::project
class JsonTaskType {
public:
    enum Case : std::int64_t {
        common = 0,     // a single task, or a group task when it has children
        milestone = 1,  // a milestone
        project = 2,    // the task at the top of a project or of a sub-project
    };

    constexpr JsonTaskType(Case value) : value_(value) {}

    // The case with that raw value; none for any other number, negative ones included.
    static constexpr std::optional<JsonTaskType> fromRawValue(std::int64_t rawValue) {
        switch (rawValue) {
            case common:
                return common;
            case milestone:
                return milestone;
            case project:
                return project;
            default:
                return std::nullopt;
        }
    }

    constexpr std::int64_t rawValue() const { return value_; }
    constexpr Case value() const { return value_; }

    constexpr bool operator==(const JsonTaskType&) const = default;

    void encode(platform::json::Writer& writer) const { writer.encode(rawValue()); }
    // Any number but 0, 1 and 2 is a data-corrupted error.
    static JsonTaskType decode(const platform::json::Value& value);

private:
    Case value_;
};

template <>
struct std::hash<JsonTaskType> {
    std::size_t operator()(JsonTaskType type) const noexcept {
        return std::hash<std::int64_t>{}(type.rawValue());
    }
};

// One task of the project document: the project's "Root" and, nested under "Childs" to any depth,
// every other task.
//
// A plain value: every field is optional and any combination is a valid record, the empty object
// included (`JsonTask()` has every field absent). It reads and writes itself, with its whole
// subtree, under the keys of `fields()` (see JsonRecordFields.h). An absent child list and an
// empty one stay apart. Copies copy the whole subtree.
//
// Two records are equal when their "Uid"s are (both absent counts as equal); nothing else is
// compared. It is a tree node (LxTreeNode.h) walked by `const JsonTask*`.
//
// Nesting is bounded only by the JSON layer: reading refuses text nested deeper than
// platform::json::kMaximumNestingDepth (about 255 task levels), and so does writing.
//
// Example:
//   JsonTask task;
//   task.uid = 12;
//   task.type = JsonTaskType::milestone;
//   const bool hasChilds = lx::treeHasChilds(&task);   // false
struct JsonTask {
    std::optional<std::int64_t> uid{};
    std::optional<JsonTaskType> type{};
    std::optional<std::string> name{};
    std::optional<platform::Date> start{};
    std::optional<platform::Date> finish{};
    std::optional<std::int64_t> completedPercent{};
    std::optional<std::vector<JsonResourceAssignment>> resources{};
    std::optional<JsonWorkData> work{};
    std::optional<std::int64_t> physicalCompletedPercentage{};
    std::optional<std::int64_t> contactorId{};  // a member's "Id"
    std::optional<JsonCost> cost{};
    std::optional<std::int64_t> colorIndex{};
    std::optional<std::int64_t> iconIndex{};
    std::optional<std::string> notes{};
    std::optional<std::vector<std::int64_t>> predecessors{};  // "Uid"s, in order
    std::optional<JsonDateBaseline> dateBaseline{};
    std::optional<JsonTaskUrl> url1{};
    std::optional<JsonTaskUrl> url2{};
    std::optional<std::vector<JsonTask>> childs{};  // in order
    std::optional<bool> collapsed{};

    bool operator==(const JsonTask& other) const { return uid == other.uid; }

    static constexpr auto fields() {
        using jsonRecord::field;
        return std::tuple{field("Uid", &JsonTask::uid),
                          field("Type", &JsonTask::type),
                          field("Name", &JsonTask::name),
                          field("Start", &JsonTask::start),
                          field("Finish", &JsonTask::finish),
                          field("Comp", &JsonTask::completedPercent),
                          field("Res", &JsonTask::resources),
                          field("Work", &JsonTask::work),
                          field("Phys", &JsonTask::physicalCompletedPercentage),
                          field("Ctor", &JsonTask::contactorId),
                          field("Cost", &JsonTask::cost),
                          field("Color", &JsonTask::colorIndex),
                          field("Icon", &JsonTask::iconIndex),
                          field("Note", &JsonTask::notes),
                          field("Pred", &JsonTask::predecessors),
                          field("DateBaseline", &JsonTask::dateBaseline),
                          field("url1", &JsonTask::url1),
                          field("url2", &JsonTask::url2),
                          field("Childs", &JsonTask::childs),
                          field("Clps", &JsonTask::collapsed)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonTask decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonTask>(value);
    }
};
