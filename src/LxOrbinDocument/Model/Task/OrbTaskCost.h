#pragma once

#include <cstdint>
#include <optional>

#include "LxOrbinDocument/Model/Task/OrbTaskRawData.h"

// A task's labour cost: a fixed amount, or `auto_`, estimated from the task's resource
// assignments. A value.
//
// Raw form: auto_ is (0, none), fix(v) is (1, v).
//
// Example:
//   const auto cost = OrbTaskLaborCost::fromRawData(1, 5.0f);   // fix(5.0)
//   if (cost.isFix()) { total += *cost.amount(); }
class OrbTaskLaborCost {
public:
    enum class Kind { fix, auto_ };

    static OrbTaskLaborCost fix(float amount) { return {Kind::fix, amount}; }
    static OrbTaskLaborCost auto_() { return {Kind::auto_, 0.0f}; }

    // fix(unit) for index 1, auto_ for any other index (the unit is then ignored).
    static OrbTaskLaborCost fromRawData(std::int64_t index, float unit);

    Kind kind() const { return kind_; }
    bool isFix() const { return kind_ == Kind::fix; }
    // The fixed amount; none for auto_.
    std::optional<float> amount() const;

    OrbTaskRawData raw() const;
    // auto_ matches every raw form of index 0; fix(v) needs index 1 and a unit equal to v.
    bool isEqual(const OrbTaskRawData& raw) const { return this->raw().isMatchedBy(raw); }

private:
    OrbTaskLaborCost(Kind kind, float amount) : kind_(kind), amount_(amount) {}

    Kind kind_;
    float amount_;
};

// A task's labour cost and its materials cost (none: no materials cost). A value: a task keeps
// its own and changes it in place.
struct OrbTaskCost {
    OrbTaskCost(OrbTaskLaborCost laborcost, std::optional<float> materialcost)
        : laborCost(laborcost), materialsCost(materialcost) {}

    OrbTaskLaborCost laborCost;
    std::optional<float> materialsCost;
};
