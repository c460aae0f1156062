#include "LxOrbinDocument/Json/JsonTask.h"

#include <string>

JsonTaskType JsonTaskType::decode(const platform::json::Value& value) {
    const auto rawValue = value.decode<std::int64_t>();
    const auto type = fromRawValue(rawValue);
    if (!type) {
        value.dataCorrupted("Cannot initialize JsonTaskType from invalid Int value " +
                            std::to_string(rawValue));
    }
    return *type;
}
