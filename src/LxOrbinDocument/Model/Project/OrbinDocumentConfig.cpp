#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"

#include <cstdint>

#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

constexpr std::int64_t kYearsEachWay = 100;

}  // namespace

const OrbinDocumentConfig& OrbinDocumentConfig::shared() {
    static const OrbinDocumentConfig instance = make(platform::Date::now());
    return instance;
}

OrbinDocumentConfig OrbinDocumentConfig::make(platform::Date now) {
    const platform::Date today = lx::toDayOnly(now);
    return {today - LxYears(kYearsEachWay), today + LxYears(kYearsEachWay)};
}
