#pragma once

#include "platform/foundation/Date.h"

// The span of dates the project model accepts: from local midnight of today minus 100 years up
// to, not including, that midnight plus 100 years. The calendar keeps exception days and the
// task keeps its dates only inside it.
//
// `shared()` is computed once per process, on first use from any thread, and never again: a
// process that runs past midnight keeps the span of the day it first asked. A value; copies are
// independent.
//
// Example:
//   if (!OrbinDocumentConfig::shared().contains(start)) { start = lx::toDayOnly(now); }
class OrbinDocumentConfig {
public:
    static const OrbinDocumentConfig& shared();

    // The span as it is on the local day of `now`; `shared()` is this for its first use.
    static OrbinDocumentConfig make(platform::Date now);

    // Whether `date` lies in the span: _mindate <= date < _maxdate, on the full instant.
    bool contains(platform::Date date) const { return _mindate <= date && date < _maxdate; }

    // The first accepted instant and the first one no longer accepted.
    platform::Date _mindate;
    platform::Date _maxdate;
};
