#include "LxOrbinDocument/Model/Task/OrbTaskCost.h"

namespace {

constexpr std::int64_t kFixIndex = 1;

}  // namespace

OrbTaskLaborCost OrbTaskLaborCost::fromRawData(std::int64_t index, float unit) {
    return index == kFixIndex ? fix(unit) : auto_();
}

std::optional<float> OrbTaskLaborCost::amount() const {
    return isFix() ? std::optional(amount_) : std::nullopt;
}

OrbTaskRawData OrbTaskLaborCost::raw() const {
    return isFix() ? OrbTaskRawData{kFixIndex, amount_} : OrbTaskRawData{};
}
