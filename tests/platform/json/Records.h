#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/json/Value.h"
#include "platform/json/Writer.h"

// A small tree of records in the shape of the project document: keys in declaration order,
// optional members, nested children, numbers of every kind and dates.
struct TaskRecord {
    std::int64_t uid = 0;
    std::string name;
    std::optional<std::string> note;
    float work = 0;
    double cost = 0;
    bool done = false;
    platform::Date start;
    std::optional<std::vector<TaskRecord>> childs;

    bool operator==(const TaskRecord&) const = default;

    void encode(platform::json::Writer& writer) const {
        writer.encodeObject([&](platform::json::ObjectWriter& object) {
            object.encode("Uid", uid);
            object.encode("Name", name);
            object.encode("Note", note);
            object.encode("Work", work);
            object.encode("Cost", cost);
            object.encode("Done", done);
            object.encode("Start", start);
            object.encode("Childs", childs);
        });
    }

    static TaskRecord decode(const platform::json::Value& value) {
        const auto object = value.object();
        return TaskRecord{
            object.decode<std::int64_t>("Uid"),
            object.decode<std::string>("Name"),
            object.decode<std::optional<std::string>>("Note"),
            object.decode<float>("Work"),
            object.decode<double>("Cost"),
            object.decode<bool>("Done"),
            object.decode<platform::Date>("Start"),
            object.decode<std::optional<std::vector<TaskRecord>>>("Childs"),
        };
    }
};
