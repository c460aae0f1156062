#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Error.h"

// The failures of JSON encoding and decoding, and the path of keys that says where they
// happened.
namespace platform::json {

// One step of a path into a JSON document: a key of an object, or an index of an array.
class CodingKey {
public:
    static CodingKey key(std::string name) { return CodingKey(std::move(name), std::nullopt); }
    static CodingKey index(std::size_t index) { return CodingKey({}, index); }

    // The key itself, or "Index 3" for an index.
    std::string stringValue() const;
    std::optional<std::size_t> intValue() const { return index_; }

    bool operator==(const CodingKey&) const = default;

private:
    CodingKey(std::string name, std::optional<std::size_t> index)
        : name_(std::move(name)), index_(index) {}

    std::string name_;  // empty for an index
    std::optional<std::size_t> index_;
};

using CodingPath = std::vector<CodingKey>;

// The path as people read it: "Root.Childs[3].Uid"; "the top level" for the empty path.
std::string describe(const CodingPath& path);

// A document that does not decode into the type asked for.
//
// `localizedDescription()` names what was wrong, with the offending value where there is one,
// and where: Expected Int64 but found the number 3.7 at "Root.Childs[3].Uid".
class DecodingError : public Error {
public:
    enum class Kind {
        typeMismatch,   // a value of another JSON type than expected
        valueNotFound,  // null where a value is required
        keyNotFound,    // a required key is absent
        dataCorrupted,  // not JSON, nested too deeply, a number out of range, a bad date text
    };

    // `expectedType` for a type mismatch or a value not found, "Int64" or "String".
    DecodingError(Kind kind, CodingPath codingPath, std::string debugDescription,
                  std::optional<std::string> expectedType = std::nullopt);
    static DecodingError keyNotFound(std::string key, CodingPath codingPath);
    // Text that is not JSON (data corrupted, at the top level), with the parser's own report of
    // what it found wrong and where: "syntax error while parsing value - invalid literal; last
    // read: 'x'".
    static DecodingError notJson(std::string parserReport);

    Kind kind() const { return kind_; }
    // Where it happened; for a key not found, the object that lacks the key.
    const CodingPath& codingPath() const { return codingPath_; }
    const std::string& debugDescription() const { return debugDescription_; }
    const std::optional<std::string>& expectedType() const { return expectedType_; }
    const std::optional<std::string>& missingKey() const { return missingKey_; }
    // The error beneath this one, as text: the parser's report for text that is not JSON.
    const std::optional<std::string>& underlyingError() const { return underlyingError_; }

private:
    Kind kind_;
    CodingPath codingPath_;
    std::string debugDescription_;
    std::optional<std::string> expectedType_;
    std::optional<std::string> missingKey_;
    std::optional<std::string> underlyingError_;
};

// A value that cannot be written as JSON: a non-finite number, text that is not UTF-8, a date
// outside what its strategy can write, a structure nested too deeply.
class EncodingError : public Error {
public:
    EncodingError(CodingPath codingPath, std::string debugDescription);

    const CodingPath& codingPath() const { return codingPath_; }
    const std::string& debugDescription() const { return debugDescription_; }

private:
    CodingPath codingPath_;
    std::string debugDescription_;
};

// How deep objects and arrays may nest, in documents read and in values written. Deeper
// structures are refused with an error rather than risking the stack.
inline constexpr std::size_t kMaximumNestingDepth = 512;

}  // namespace platform::json
