#pragma once

#include <cstdint>
#include <optional>

#include "LxOrbinDocument/Model/Task/OrbTaskRawData.h"

// How a task's work is set: a fixed amount per working day, a fixed total amount, or
// `byResource`, following from the task's resource assignments. A value.
//
// Raw form: byResource is (0, none), fixDailyWork(v) is (1, v), fixAmount(v) is (2, v).
//
// Example:
//   const auto work = OrbTaskWork::fromRawData(2, 3.0f);   // fixAmount(3.0)
//   const float hours = work.isFixAmount() ? *work.amount() : 0.0f;
class OrbTaskWork {
public:
    enum class Kind { fixDailyWork, fixAmount, byResource };

    static OrbTaskWork fixDailyWork(float amount) { return {Kind::fixDailyWork, amount}; }
    static OrbTaskWork fixAmount(float amount) { return {Kind::fixAmount, amount}; }
    static OrbTaskWork byResource() { return {Kind::byResource, 0.0f}; }

    // fixDailyWork(unit) for index 1, fixAmount(unit) for 2, byResource for any other index
    // (the unit is then ignored).
    static OrbTaskWork fromRawData(std::int64_t index, float unit);

    Kind kind() const { return kind_; }
    bool isFixDailyWork() const { return kind_ == Kind::fixDailyWork; }
    bool isFixAmount() const { return kind_ == Kind::fixAmount; }
    bool isByResource() const { return kind_ == Kind::byResource; }
    // The daily or total amount; none for byResource.
    std::optional<float> amount() const;

    OrbTaskRawData raw() const;
    // byResource matches every raw form of index 0; the others need their own index and a unit
    // equal to their amount.
    bool isEqual(const OrbTaskRawData& raw) const { return this->raw().isMatchedBy(raw); }

private:
    OrbTaskWork(Kind kind, float amount) : kind_(kind), amount_(amount) {}

    Kind kind_;
    float amount_;
};
