#pragma once

#include <functional>
#include <memory>

#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"

// How dates are written to JSON and read from it; each encode or decode call is given one.
namespace platform::json {

class Writer;
class Value;

class DateEncodingStrategy {
public:
    using Function = std::function<void(Date, Writer&)>;

    // The internet date-time text in UTC, to the second: "2024-05-11T08:30:00Z". A date that
    // is not a number, or outside the years 0000 to 9999, is an encoding error.
    static DateEncodingStrategy iso8601();
    // The formatter's text (current zone and locale; see DateFormatter).
    static DateEncodingStrategy formatted(std::shared_ptr<const DateFormatter> formatter);
    // Whatever `encode` writes for the date: exactly one value.
    static DateEncodingStrategy custom(Function encode);

    void encode(Date date, Writer& writer) const { encode_(date, writer); }

private:
    explicit DateEncodingStrategy(Function encode) : encode_(std::move(encode)) {}

    Function encode_;
};

class DateDecodingStrategy {
public:
    using Function = std::function<Date(const Value&)>;

    // The internet date-time text: "2024-05-11T08:30:00Z" or with an offset "+02:00"; no
    // fraction of a second. Anything else is a data-corrupted decoding error.
    static DateDecodingStrategy iso8601();
    // A text the formatter parses as a whole; anything else is a data-corrupted error.
    static DateDecodingStrategy formatted(std::shared_ptr<const DateFormatter> formatter);
    // The date `decode` reads from the value; it reports bad values with
    // `value.dataCorrupted(...)` or by decoding them as the type it expects.
    static DateDecodingStrategy custom(Function decode);

    Date decode(const Value& value) const { return decode_(value); }

private:
    explicit DateDecodingStrategy(Function decode) : decode_(std::move(decode)) {}

    Function decode_;
};

}  // namespace platform::json
