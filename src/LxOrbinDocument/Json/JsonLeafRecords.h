#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>

#include "LxOrbinDocument/Json/JsonRecordFields.h"
#include "platform/foundation/Date.h"

class OrbTaskWork;
struct OrbTaskCost;

// The small records nested in a task record of the project document: its work setting ("Work"),
// cost ("Cost"), resource assignments ("Res" elements), date baseline ("DateBaseline") and web
// links ("url1", "url2").
//
// Plain values: every field is optional and any combination is a valid record, the empty object
// included. Each record reads and writes itself under the keys of its `fields()` list (see
// JsonRecordFields.h); what the fields mean in a project is the mapper's business.
//
// Example:
//   const JsonWorkData work(OrbTaskWork::fixAmount(40.0f));   // {"WT": 2, "Work": 40}
//   const OrbTaskWork back = work.taskWork();                  // fixAmount(40.0)

// How a task's work is set.
struct JsonWorkData {
    std::optional<std::int64_t> workType{};  // 1 fixed work per day, 2 fixed total amount
    std::optional<float> workValue{};        // the amount that goes with the kind

    JsonWorkData() = default;
    // fixDailyWork(v) gives {1, v}, fixAmount(v) {2, v}, byResource the empty record.
    explicit JsonWorkData(const OrbTaskWork& work);

    // byResource when the kind is absent or 0 or the amount is absent; fixDailyWork for kind 1;
    // fixAmount for any other kind, negative ones included.
    OrbTaskWork taskWork() const;

    static constexpr auto fields() {
        return std::tuple{jsonRecord::field("WT", &JsonWorkData::workType),
                          jsonRecord::field("Work", &JsonWorkData::workValue)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonWorkData decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonWorkData>(value);
    }
};

// A task's labour and materials cost.
struct JsonCost {
    std::optional<bool> _isFixLaborCost{};  // true when the labour cost is fixed
    std::optional<float> _laborCost{};      // the fixed labour cost, with "Auto" true
    std::optional<float> materialsCost{};

    JsonCost() = default;
    // A fixed labour cost v gives "Auto" true and "Labc" v, an automatic one neither; "Mats" is
    // the materials cost when there is one.
    explicit JsonCost(const OrbTaskCost& cost);

    static constexpr auto fields() {
        return std::tuple{jsonRecord::field("Auto", &JsonCost::_isFixLaborCost),
                          jsonRecord::field("Labc", &JsonCost::_laborCost),
                          jsonRecord::field("Mats", &JsonCost::materialsCost)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonCost decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonCost>(value);
    }
};

// One member assigned to a task.
struct JsonResourceAssignment {
    std::optional<std::int64_t> peopleId{};  // the member's "Id"
    std::optional<std::int64_t> workload{};

    static constexpr auto fields() {
        return std::tuple{jsonRecord::field("Pid", &JsonResourceAssignment::peopleId),
                          jsonRecord::field("WL", &JsonResourceAssignment::workload)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonResourceAssignment decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonResourceAssignment>(value);
    }
};

// A task's baseline dates, with their time of day.
struct JsonDateBaseline {
    std::optional<platform::Date> start{};
    std::optional<platform::Date> finish{};

    JsonDateBaseline() = default;
    JsonDateBaseline(platform::Date start, platform::Date finish) : start(start), finish(finish) {}

    static constexpr auto fields() {
        return std::tuple{jsonRecord::field("start", &JsonDateBaseline::start),
                          jsonRecord::field("finish", &JsonDateBaseline::finish)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonDateBaseline decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonDateBaseline>(value);
    }
};

// One web link of a task.
struct JsonTaskUrl {
    std::optional<std::string> title{};
    std::optional<std::string> url{};  // the address as text

    static constexpr auto fields() {
        return std::tuple{jsonRecord::field("title", &JsonTaskUrl::title),
                          jsonRecord::field("url", &JsonTaskUrl::url)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonTaskUrl decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonTaskUrl>(value);
    }
};
