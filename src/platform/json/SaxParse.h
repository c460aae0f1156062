#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "platform/json/CodingError.h"

namespace platform::json {

namespace internal {

// The data-corrupted error of text that is not JSON, from the parser's own message.
[[noreturn]] void throwNotJson(std::string_view parserMessage);
// The same for a parser that names the problem and the byte where it was found.
[[noreturn]] void throwNotJsonAt(std::string_view problem, std::size_t offset);
[[noreturn]] void throwNestedTooDeeply();

// Passes every event to the handler and refuses nesting deeper than kMaximumNestingDepth.
// The member names are the parser's SAX interface.
template <class Handler>
class DepthLimitedSax {
public:
    using Json = nlohmann::json;

    explicit DepthLimitedSax(Handler& handler) : handler_(handler) {}

    bool null() { return handler_.null(); }
    bool boolean(bool value) { return handler_.boolean(value); }
    bool number_integer(Json::number_integer_t value) { return handler_.number_integer(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return handler_.number_unsigned(value); }
    bool number_float(Json::number_float_t value, const Json::string_t& text) {
        return handler_.number_float(value, text);
    }
    bool string(Json::string_t& value) { return handler_.string(value); }
    bool binary(Json::binary_t& value) { return handler_.binary(value); }
    bool start_object(std::size_t size) {
        enter();
        return handler_.start_object(size);
    }
    bool key(Json::string_t& value) { return handler_.key(value); }
    bool end_object() {
        --depth_;
        return handler_.end_object();
    }
    bool start_array(std::size_t size) {
        enter();
        return handler_.start_array(size);
    }
    bool end_array() {
        --depth_;
        return handler_.end_array();
    }
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throwNotJson(error.what());
    }

private:
    void enter() {
        if (++depth_ > kMaximumNestingDepth) {
            throwNestedTooDeeply();
        }
    }

    Handler& handler_;
    std::size_t depth_ = 0;
};

}  // namespace internal

// Runs `handler`, a SAX handler of nlohmann::json's SAX interface, over `text`: the way to read
// a large document straight into records without building a document first. Nesting deeper
// than kMaximumNestingDepth and text that is not one whole JSON value are DecodingErrors (data
// corrupted); what the handler throws passes through. Answers false when the handler stopped
// the parse by answering false.
template <class Handler>
bool saxParse(std::string_view text, Handler& handler) {
    internal::DepthLimitedSax<Handler> limited(handler);
    try {
        return nlohmann::json::sax_parse(text.begin(), text.end(), &limited);
    } catch (const nlohmann::json::exception& error) {
        internal::throwNotJson(error.what());
    }
}

}  // namespace platform::json
