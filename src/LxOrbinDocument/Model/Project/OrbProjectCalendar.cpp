#include "LxOrbinDocument/Model/Project/OrbProjectCalendar.h"

#include <algorithm>
#include <compare>
#include <limits>

#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"
#include "platform/foundation/Calendar.h"
#include "utility/CollectionExtensions.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/NumberConversions.h"
#include "utility/SequenceExtensions.h"
#include "utility/StringExtensions.h"

using platform::Date;

namespace {

// 2000-01-01 00:00 UTC, for a zone in which the calendar could not make local midnight.
constexpr Date kEpochInUtc(-31'622'400.0);
constexpr int kSunday = 1;
constexpr int kSaturday = 7;
constexpr int kDaysPerWeek = 7;

const OrbinDocumentConfig& documentRange() {
    return OrbinDocumentConfig::shared();
}

// The date held inside the document date range; a date that is not a number reads as its start.
// The map never has to reach further than a year beyond it, however wild a project's dates are.
Date heldInDocumentRange(Date date) {
    const OrbinDocumentConfig& range = documentRange();
    if (date >= range._maxdate) {
        return range._maxdate;
    }
    return date >= range._mindate ? date : range._mindate;
}

// The local midnight of a whole-year move of a day. Adding years to the first instant of a day
// whose midnight was skipped keeps its 01:00, which on the target day is not its start.
Date dayMovedByYears(Date day, std::int64_t years) {
    return lx::toDayOnly(lx::toDayOnly(day) + LxYears(years));
}

// The start of the next (step 1) or previous (step -1) local day; none where the calendar
// cannot move any further.
std::optional<Date> neighbourDay(Date day, std::int64_t step) {
    const auto moved = lx::addingByDays(day, step);
    if (!moved) {
        return std::nullopt;
    }
    const Date neighbour = lx::toDayOnly(*moved);
    return neighbour == day ? std::nullopt : std::optional(neighbour);
}

}  // namespace

std::shared_ptr<OrbProjectCalendar> OrbProjectCalendar::create(Date start, Date finish,
                                                               std::string_view singularities) {
    return std::shared_ptr<OrbProjectCalendar>(
        new OrbProjectCalendar(start, finish, singularities));
}

OrbProjectCalendar::OrbProjectCalendar(Date start, Date finish, std::string_view singularities)
    : SINGULARITY_ORINGINAL_DATE(
          lx::create(2000, 1, 1, platform::Calendar::gregorian()).value_or(kEpochInUtc)) {
    readExceptionString(singularities);
    setRange(start, finish);
}

Date OrbProjectCalendar::start() const {
    return _lock.sync([this] { return _start; });
}

Date OrbProjectCalendar::end() const {
    return _lock.sync([this] { return _end; });
}

std::vector<OrbProjectCalendar::DayMapItem> OrbProjectCalendar::mappings() const {
    return _lock.sync([this] { return _mappings; });
}

void OrbProjectCalendar::buildDayMappings() {
    _lock.sync([this] { rebuild(); });
}

void OrbProjectCalendar::setDayExceptionString(std::string_view singularities) {
    _lock.sync([this, singularities] {
        readExceptionString(singularities);
        rebuild();
    });
}

void OrbProjectCalendar::setDayExceptions(const std::vector<Date>& exceptions) {
    _lock.sync([this, &exceptions] {
        _dayexceptions = lx::distincted(exceptions);
        rebuild();
    });
}

void OrbProjectCalendar::addExceptionDay(Date date) {
    _lock.sync([this, date] {
        if (!documentRange().contains(date) ||
            lx::any(_dayexceptions, [date](Date listed) { return lx::isSameDay(listed, date); })) {
            return;
        }
        _dayexceptions.push_back(date);
    });
}

bool OrbProjectCalendar::isWorkingDay(Date date) {
    return _lock.sync([this, date] { return workingDay(date); });
}

void OrbProjectCalendar::changeWorkingDay(Date datetime) {
    _lock.sync([this, datetime] {
        const Date day = lx::toDayOnly(datetime);
        if (!lx::removeFirst(_dayexceptions, [day](Date listed) { return listed == day; })) {
            _dayexceptions.push_back(day);
        }
        if (_start <= day && day <= _end) {
            rebuild();
        } else if (documentRange().contains(day)) {
            setRange(std::min(day, _start), std::max(day, _end));
        }
    });
}

std::int64_t OrbProjectCalendar::countOfWorkingDays(Date start, Date finish) {
    return _lock.sync([this, start, finish] { return workingDaysBetween(start, finish); });
}

Date OrbProjectCalendar::getWorkingDayByAddWorkingDays(Date date, std::int64_t workingdays) {
    return _lock.sync([this, date, workingdays] {
        const std::int64_t step = workingdays < 0 ? -1 : 1;
        Date day = lx::toDayOnly(date);
        std::int64_t counted = 0;
        while (counted != workingdays) {
            if (workingDay(day)) {
                counted += step;
            }
            const auto next = neighbourDay(day, step);
            if (!next) {
                return day;
            }
            day = *next;
        }
        return walkToWorkingDay(day, step);
    });
}

Date OrbProjectCalendar::getNextWorkingDayFromDateIncludeCurrent(Date date) {
    return _lock.sync([this, date] { return walkToWorkingDay(lx::toDayOnly(date), 1); });
}

Date OrbProjectCalendar::getPreviousWorkingDayFromDateIncludeCurrent(Date date) {
    return _lock.sync([this, date] { return walkToWorkingDay(lx::toDayOnly(date), -1); });
}

Date OrbProjectCalendar::getFinishDateFromStartDateByWorkingDays(Date start,
                                                                 std::int64_t workingdays) {
    return _lock.sync([this, start, workingdays] {
        if (!documentRange().contains(start)) {
            return start + LxDays(workingdays);
        }
        if (start < _start) {
            setRange(start, _end);
        } else if (start > _end) {
            setRange(_start, start);
        } else if (workingDaysBetween(start, _end) < workingdays) {
            setRange(_start, _end);
        }
        if (workingdays < 1) {
            return start;
        }
        const auto first = indexHolding(start);
        if (!first) {
            return start + LxDays(workingdays);
        }
        const std::int64_t base = _mappings[*first].workingDayIndex;
        std::int64_t offset = workingdays;
        for (std::size_t index = *first + 1; index < _mappings.size(); ++index) {
            if (_mappings[index].workingDayIndex - base >= workingdays) {
                offset = static_cast<std::int64_t>(index - *first);
                break;
            }
        }
        return start + LxDays(offset);
    });
}

std::vector<std::int64_t> OrbProjectCalendar::getExceptionDayIndexsList() const {
    return _lock.sync([this] {
        return lx::map(_dayexceptions, [this](Date day) { return offsetFromEpoch(day); });
    });
}

std::vector<Date> OrbProjectCalendar::exceptions() const {
    return _lock.sync([this] { return _dayexceptions; });
}

std::optional<std::string> OrbProjectCalendar::rowData() const {
    return _lock.sync([this] { return exceptionString(); });
}

std::shared_ptr<OrbProjectCalendar> OrbProjectCalendar::clone() const {
    struct Source {
        Date start;
        Date end;
        std::string singularities;
    };
    const Source source = _lock.sync([this] {
        return Source{_start, _end, exceptionString().value_or("")};
    });
    return create(source.start, source.end, source.singularities);
}

// A field is a day only when it is a decimal number whose day the calendar can make and
// that lies in the document date range: an offset from a damaged file far beyond any date gives
// no day at all rather than a wrong one.
void OrbProjectCalendar::readExceptionString(std::string_view singularities) {
    _dayexceptions.clear();
    if (lx::isBlank(singularities)) {
        return;
    }
    for (const std::string& field : lx::splitted(singularities, ";")) {
        const auto offset = lx::parseInt(field);
        const auto day = offset ? dayAtOffset(*offset) : std::nullopt;
        if (day && documentRange().contains(*day)) {
            _dayexceptions.push_back(*day);
        }
    }
}

// Both ends are held inside the document date range first, so no date from a file can
// make the map longer than the range plus a year at each end.
void OrbProjectCalendar::setRange(Date a, Date b) {
    a = heldInDocumentRange(a);
    b = heldInDocumentRange(b);
    _start = dayMovedByYears(std::min(a, b), -1);
    _end = dayMovedByYears(std::max(a, b), 1);
    rebuild();
}

// Weekdays advance by one per local day, so one calendar question gives every day's weekday.
// Map positions are differences of local dates, never of elapsed seconds: where the clocks skip
// midnight a day has 23 hours, and counting seconds would give it its neighbour's status.
void OrbProjectCalendar::rebuild() {
    _mappings.clear();
    _dayStarts.clear();
    const std::int64_t lastIndex = lx::days(_end, _start);
    if (lastIndex < 0) {
        return;
    }
    _mappings.reserve(static_cast<std::size_t>(lastIndex) + 1);
    _dayStarts.reserve(static_cast<std::size_t>(lastIndex) + 2);
    for (std::optional<Date> day = _start;
         day && _dayStarts.size() <= static_cast<std::size_t>(lastIndex) + 1;
         day = neighbourDay(*day, 1)) {
        _dayStarts.push_back(*day);
    }
    const int firstWeekday = lx::weekday(_start);
    for (std::int64_t index = 0; index <= lastIndex; ++index) {
        const auto weekday = (firstWeekday - 1 + index) % kDaysPerWeek + 1;
        _mappings.push_back({0, weekday != kSaturday && weekday != kSunday});
    }
    for (const Date exception : _dayexceptions) {
        if (const auto index = indexHolding(exception)) {
            _mappings[*index].isWorkingDay = !_mappings[*index].isWorkingDay;
        }
    }
    std::int64_t workingDaysBefore = 0;
    for (DayMapItem& item : _mappings) {
        item.workingDayIndex = workingDaysBefore;
        if (item.isWorkingDay) {
            ++workingDaysBefore;
        }
    }
}

// Binary search over the first instants of the map's days: the questions asked once per task
// and per day need no calendar arithmetic.
std::optional<std::size_t> OrbProjectCalendar::indexHolding(Date instant) const {
    if (_dayStarts.empty() || !(_dayStarts.front() <= instant && instant < _dayStarts.back())) {
        return std::nullopt;
    }
    const auto after = std::upper_bound(_dayStarts.begin(), _dayStarts.end(), instant);
    const auto index = static_cast<std::size_t>(after - _dayStarts.begin()) - 1;
    return index < _mappings.size() ? std::optional(index) : std::nullopt;
}

// The status a map over this day would give it, for days the map is never widened to.
bool OrbProjectCalendar::statusOutsideMap(Date day) const {
    bool working = !lx::isWeekend(day);
    for (const Date exception : _dayexceptions) {
        if (lx::isSameDay(exception, day)) {
            working = !working;
        }
    }
    return working;
}

// Widening stays inside the document date range: a date far beyond it would otherwise grow the
// map to millions of days.
bool OrbProjectCalendar::workingDay(Date date) {
    auto index = indexHolding(date);
    if (index) {
        return _mappings[*index].isWorkingDay;
    }
    const Date day = lx::toDayOnly(date);
    if (documentRange().contains(day)) {
        if (_mappings.empty()) {
            setRange(day, day);
        } else if (day < _start) {
            setRange(day, _end);
        } else {
            setRange(_start, day);
        }
        index = indexHolding(day);
    }
    return index ? _mappings[*index].isWorkingDay : statusOutsideMap(day);
}

std::int64_t OrbProjectCalendar::workingDaysBetween(Date start, Date finish) {
    if (!documentRange().contains(start) || !documentRange().contains(finish)) {
        return 0;
    }
    auto first = indexHolding(start);
    auto last = indexHolding(finish);
    if (!first || !last) {
        const Date startDay = lx::toDayOnly(start);
        const Date finishDay = lx::toDayOnly(finish);
        setRange(std::min({_start, startDay, finishDay}), std::max({_end, startDay, finishDay}));
        first = indexHolding(start);
        last = indexHolding(finish);
    }
    if (!first || !last) {
        return 0;
    }
    return _mappings[*last].workingDayIndex - _mappings[*first].workingDayIndex;
}

// Stops where the calendar cannot move on, so a date beyond its range never loops forever.
Date OrbProjectCalendar::walkToWorkingDay(Date day, std::int64_t step) {
    while (!workingDay(day)) {
        const auto next = neighbourDay(day, step);
        if (!next) {
            return day;
        }
        day = *next;
    }
    return day;
}

// The local day `offset` calendar dates after 2000-01-01, made from its date's fields (day
// 1 + offset of January 2000, carried over) as the writing counts dates. Adding days instead
// would land one date further in a zone that skipped a day on the way (Pacific/Apia's
// 2011-12-30), and every save would move the day on by one more.
std::optional<Date> OrbProjectCalendar::dayAtOffset(std::int64_t offset) {
    if (offset == std::numeric_limits<std::int64_t>::max()) {
        return std::nullopt;
    }
    return lx::create(2000, 1, offset + 1, platform::Calendar::gregorian());
}

// Whole local days, so an exception day before 2000 that carries a time of day is still
// written as its own day and not the next one (truncation of a negative count).
std::int64_t OrbProjectCalendar::offsetFromEpoch(Date date) const {
    return lx::days(lx::toDayOnly(date), SINGULARITY_ORINGINAL_DATE);
}

std::optional<std::string> OrbProjectCalendar::exceptionString() const {
    if (_dayexceptions.empty()) {
        return std::nullopt;
    }
    std::vector<Date> days = _dayexceptions;
    // A total order, so that even a date that is not a number cannot break the sort.
    std::ranges::sort(days, [](Date lhs, Date rhs) {
        return std::strong_order(lhs.secondsSinceReferenceDate(), rhs.secondsSinceReferenceDate()) <
               0;
    });
    std::string text;
    for (const Date day : days) {
        if (!text.empty()) {
            text += ';';
        }
        text += lx::toString(offsetFromEpoch(day));
    }
    return text;
}
