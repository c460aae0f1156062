#pragma once

#include <vector>

#include "platform/foundation/Date.h"

// Whether some date of `days` falls on `date`'s local calendar day; false for no days.
bool containsSameDay(const std::vector<platform::Date>& days, platform::Date date);
