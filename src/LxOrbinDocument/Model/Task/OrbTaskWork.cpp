#include "LxOrbinDocument/Model/Task/OrbTaskWork.h"

namespace {

constexpr std::int64_t kFixDailyWorkIndex = 1;
constexpr std::int64_t kFixAmountIndex = 2;

}  // namespace

OrbTaskWork OrbTaskWork::fromRawData(std::int64_t index, float unit) {
    switch (index) {
        case kFixDailyWorkIndex:
            return fixDailyWork(unit);
        case kFixAmountIndex:
            return fixAmount(unit);
        default:
            return byResource();
    }
}

std::optional<float> OrbTaskWork::amount() const {
    return isByResource() ? std::nullopt : std::optional(amount_);
}

OrbTaskRawData OrbTaskWork::raw() const {
    switch (kind_) {
        case Kind::fixDailyWork:
            return {kFixDailyWorkIndex, amount_};
        case Kind::fixAmount:
            return {kFixAmountIndex, amount_};
        case Kind::byResource:
            break;
    }
    return {};
}
