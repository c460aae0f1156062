#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>

#include "LxOrbinDocument/Json/JsonRecordFields.h"

// One team member in the project document, an element of the project's "Ples" array.
//
// A plain value: every field is optional and any combination is a valid record, the empty object
// included. It reads and writes itself under the keys of `fields()` (see JsonRecordFields.h);
// which records become members, and what an absent field turns into, is the mapper's business.
//
// Example:
//   const JsonPeople member{.id = 7, .name = "Anna Berg", .costRate = 12.5f};
struct JsonPeople {
    std::optional<std::int64_t> id{};  // assignments ("Pid") and contacts ("Ctor") name it
    std::optional<std::string> name{};
    std::optional<std::string> photoId{};  // the package holds the photo as "<photoId>.jpg"
    std::optional<std::string> email{};
    std::optional<float> costRate{};

    static constexpr auto fields() {
        return std::tuple{jsonRecord::field("Id", &JsonPeople::id),
                          jsonRecord::field("Nm", &JsonPeople::name),
                          jsonRecord::field("Pt", &JsonPeople::photoId),
                          jsonRecord::field("Em", &JsonPeople::email),
                          jsonRecord::field("Cr", &JsonPeople::costRate)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonPeople decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonPeople>(value);
    }
};
