#include "LxOrbinDocument/Json/JsonLeafRecords.h"

#include "LxOrbinDocument/Model/Task/OrbTaskCost.h"
#include "LxOrbinDocument/Model/Task/OrbTaskWork.h"

namespace {

constexpr std::int64_t kFixDailyWorkType = 1;
constexpr std::int64_t kFixAmountType = 2;

}  // namespace

JsonWorkData::JsonWorkData(const OrbTaskWork& work) {
    switch (work.kind()) {
        case OrbTaskWork::Kind::fixDailyWork:
            workType = kFixDailyWorkType;
            workValue = work.amount();
            break;
        case OrbTaskWork::Kind::fixAmount:
            workType = kFixAmountType;
            workValue = work.amount();
            break;
        case OrbTaskWork::Kind::byResource:
            break;
    }
}

// Documents hold kinds this program never writes (7, -1); they have always been read as a
// fixed amount, so every kind but 0 and 1 still is.
OrbTaskWork JsonWorkData::taskWork() const {
    if (!workType || *workType == 0 || !workValue) {
        return OrbTaskWork::byResource();
    }
    if (*workType == kFixDailyWorkType) {
        return OrbTaskWork::fixDailyWork(*workValue);
    }
    return OrbTaskWork::fixAmount(*workValue);
}

JsonCost::JsonCost(const OrbTaskCost& cost) : materialsCost(cost.materialsCost) {
    if (cost.laborCost.isFix()) {
        _isFixLaborCost = true;
        _laborCost = cost.laborCost.amount();
    }
}
