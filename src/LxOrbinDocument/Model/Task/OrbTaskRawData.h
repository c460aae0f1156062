#pragma once

#include <cstdint>
#include <optional>

// The raw form of a labour cost or a work setting: the index of its case and, for a case that
// carries an amount, that amount as `unit`. The case without an amount is index 0, no unit.
struct OrbTaskRawData {
    std::int64_t index = 0;
    std::optional<float> unit;

    // Whether `other` names the same case as this raw form: for the case without an amount the
    // index alone decides (any unit); a case with one needs the same index and a unit equal to
    // the amount as a float, so an amount that is not a number never matches.
    bool isMatchedBy(const OrbTaskRawData& other) const {
        if (index != other.index) {
            return false;
        }
        return !unit || (other.unit && *other.unit == *unit);
    }

    bool operator==(const OrbTaskRawData&) const = default;
};
