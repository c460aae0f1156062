#include "platform/json/Value.h"

#include <array>
#include <cmath>
#include <iterator>
#include <limits>

#include "platform/json/SaxParse.h"

namespace platform::json {

namespace internal {

void throwNotJson(std::string_view parserMessage) {
    // The parser's messages start with its own error code, "[json.exception.parse_error.101] ".
    if (parserMessage.starts_with("[json.exception.")) {
        if (const auto end = parserMessage.find("] "); end != std::string_view::npos) {
            parserMessage.remove_prefix(end + 2);
        }
    }
    throw DecodingError::notJson(std::string(parserMessage));
}

void throwNotJsonAt(std::string_view problem, std::size_t offset) {
    throw DecodingError::notJson(std::string(problem) + " (at byte " + std::to_string(offset) +
                                 ")");
}

void throwNestedTooDeeply() {
    throw DecodingError(
        DecodingError::Kind::dataCorrupted, {},
        "The data is nested more than " + std::to_string(kMaximumNestingDepth) + " levels deep");
}

}  // namespace internal

namespace {

constexpr std::size_t kShownTextLength = 40;

// At most `kShownTextLength` bytes of `text`, cut at a character boundary.
std::string shortened(const std::string& text) {
    if (text.size() <= kShownTextLength) {
        return text;
    }
    std::size_t end = kShownTextLength;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end) + "...";
}

std::string describeFound(const nlohmann::json& node) {
    switch (node.type()) {
        case nlohmann::json::value_t::null:
            return "null";
        case nlohmann::json::value_t::boolean:
            return "the Boolean " + node.dump();
        case nlohmann::json::value_t::string:
            return "the text \"" + shortened(node.get_ref<const std::string&>()) + "\"";
        case nlohmann::json::value_t::object:
            return "an object";
        case nlohmann::json::value_t::array:
            return "an array";
        default:
            return "the number " + node.dump();
    }
}

// Whole numbers written with a fraction or an exponent ("7.0", "1e2") arrive as doubles, and so
// do whole numbers beyond 64 bits. From 2^53 on, doubles are too coarse to tell one whole
// number from its neighbours: "-9223372036854775809" and "9007199254740993.0" would arrive as
// -2^63 and 2^53 and be taken as those. Such doubles are refused.
bool isExactlyWhole(double value) {
    return std::trunc(value) == value && std::fabs(value) < std::ldexp(1.0, 53);
}

// Doubles below this magnitude round to a finite float; from it on they round to infinity:
// halfway between the largest float, 2^128 - 2^104, and 2^128.
const double kFloatOverflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);

}  // namespace

bool Value::isNull() const {
    return node_->is_null();
}

ObjectReader Value::object() const {
    if (!node_->is_object()) {
        typeMismatch("Object");
    }
    return ObjectReader(*this);
}

ArrayReader Value::array() const {
    if (!node_->is_array()) {
        typeMismatch("Array");
    }
    return ArrayReader(*this, node_->size());
}

// Found by a search from the root, so values need not carry their path while all goes well.
CodingPath Value::codingPath() const {
    struct Step {
        const nlohmann::json* node;
        std::size_t parent;
        const std::string* key;
        std::size_t index;
    };
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<Step> steps{{context_->root, kNone, nullptr, 0}};
    std::vector<std::size_t> pending{0};
    while (!pending.empty()) {
        const std::size_t current = pending.back();
        pending.pop_back();
        const nlohmann::json* node = steps[current].node;
        if (node == node_) {
            CodingPath path;
            for (std::size_t at = current; steps[at].parent != kNone; at = steps[at].parent) {
                path.push_back(steps[at].key ? CodingKey::key(*steps[at].key)
                                             : CodingKey::index(steps[at].index));
            }
            return CodingPath(path.rbegin(), path.rend());
        }
        if (node->is_object()) {
            for (auto member = node->begin(); member != node->end(); ++member) {
                steps.push_back({&member.value(), current, &member.key(), 0});
                pending.push_back(steps.size() - 1);
            }
        } else if (node->is_array()) {
            for (std::size_t index = 0; index < node->size(); ++index) {
                steps.push_back({&(*node)[index], current, nullptr, index});
                pending.push_back(steps.size() - 1);
            }
        }
    }
    return {};
}

void Value::dataCorrupted(std::string debugDescription) const {
    throw DecodingError(DecodingError::Kind::dataCorrupted, codingPath(),
                        std::move(debugDescription));
}

void Value::typeMismatch(const std::string& expected) const {
    throw DecodingError(DecodingError::Kind::typeMismatch, codingPath(),
                        "Expected " + expected + " but found " + describeFound(*node_), expected);
}

void Value::valueNotFound(const std::string& expected) const {
    throw DecodingError(DecodingError::Kind::valueNotFound, codingPath(),
                        "Expected " + expected + " but found null", expected);
}

bool Value::decodeBool() const {
    if (!node_->is_boolean()) {
        typeMismatch("Bool");
    }
    return node_->get<bool>();
}

std::int64_t Value::decodeSigned(std::int64_t min, std::int64_t max,
                                 const std::string& type) const {
    const auto doesNotFit = [&] {
        dataCorrupted("The number " + node_->dump() + " does not fit in " + type);
    };
    if (node_->is_number_unsigned()) {
        const auto value = node_->get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(max)) {
            doesNotFit();
        }
        return static_cast<std::int64_t>(value);
    }
    if (node_->is_number_integer()) {
        const auto value = node_->get<std::int64_t>();
        if (value < min || value > max) {
            doesNotFit();
        }
        return value;
    }
    if (node_->is_number_float()) {
        // min is -2^(bits-1), exact in a double; -min is the first value above the range.
        const auto value = node_->get<double>();
        if (!isExactlyWhole(value) || value < static_cast<double>(min) ||
            value >= -static_cast<double>(min)) {
            doesNotFit();
        }
        return static_cast<std::int64_t>(value);
    }
    typeMismatch(type);
}

std::uint64_t Value::decodeUnsigned(std::uint64_t max, const std::string& type) const {
    const auto doesNotFit = [&] {
        dataCorrupted("The number " + node_->dump() + " does not fit in " + type);
    };
    if (node_->is_number_unsigned()) {
        const auto value = node_->get<std::uint64_t>();
        if (value > max) {
            doesNotFit();
        }
        return value;
    }
    if (node_->is_number_integer()) {
        const auto value = node_->get<std::int64_t>();
        if (value < 0 || static_cast<std::uint64_t>(value) > max) {
            doesNotFit();
        }
        return static_cast<std::uint64_t>(value);
    }
    if (node_->is_number_float()) {
        // 2^bits, the first value above the range, exact in a double.
        const double limit = static_cast<double>(max / 2 + 1) * 2.0;
        const auto value = node_->get<double>();
        if (!isExactlyWhole(value) || value < 0.0 || value >= limit) {
            doesNotFit();
        }
        return static_cast<std::uint64_t>(value);
    }
    typeMismatch(type);
}

float Value::decodeFloat() const {
    if (!node_->is_number()) {
        typeMismatch("Float");
    }
    const auto value = node_->get<double>();
    if (std::fabs(value) >= kFloatOverflow) {
        dataCorrupted("The number " + node_->dump() + " does not fit in Float");
    }
    return static_cast<float>(value);
}

double Value::decodeDouble() const {
    if (!node_->is_number()) {
        typeMismatch("Double");
    }
    return node_->get<double>();
}

std::string Value::decodeString() const {
    if (!node_->is_string()) {
        typeMismatch("String");
    }
    return node_->get_ref<const std::string&>();
}

Date Value::decodeDate() const {
    return context_->dates->decode(*this);
}

bool ObjectReader::contains(std::string_view key) const {
    return object_.node_->find(key) != object_.node_->end();
}

std::vector<std::string> ObjectReader::keys() const {
    std::vector<std::string> keys;
    keys.reserve(object_.node_->size());
    for (auto member = object_.node_->begin(); member != object_.node_->end(); ++member) {
        keys.push_back(member.key());
    }
    return keys;
}

Value ObjectReader::value(std::string_view key) const {
    if (auto member = valueIfPresent(key)) {
        return *member;
    }
    throw DecodingError::keyNotFound(std::string(key), object_.codingPath());
}

std::optional<Value> ObjectReader::valueIfPresent(std::string_view key) const {
    const auto found = object_.node_->find(key);
    if (found == object_.node_->end()) {
        return std::nullopt;
    }
    return Value(found.value(), *object_.context_);
}

Value ArrayReader::operator[](std::size_t index) const {
    if (index >= size_) {
        throw DecodingError(
            DecodingError::Kind::valueNotFound, array_.codingPath(),
            "No element at index " + std::to_string(index) + " of " + std::to_string(size_));
    }
    return Value((*array_.node_)[index], *array_.context_);
}

namespace {

// What the parsed document costs in memory, counted from the parser's events as they come, so
// that a text of nothing but tiny values ("[{},{},...]", which takes some 33 times its size) is
// refused before it exhausts memory. The costs are those of this library's values on a 64-bit
// system, with the allocator's bookkeeping and the spare room of a growing array.
class MemoryBoundedBuilder {
public:
    using Json = nlohmann::json;

    MemoryBoundedBuilder(Json& root, std::size_t textSize)
        : builder_(root, true), budget_(kBudgetPerTextByte * textSize + kBudgetFloor) {}

    bool null() { return charge(kValue) && builder_.null(); }
    bool boolean(bool value) { return charge(kValue) && builder_.boolean(value); }
    bool number_integer(Json::number_integer_t value) {
        return charge(kValue) && builder_.number_integer(value);
    }
    bool number_unsigned(Json::number_unsigned_t value) {
        return charge(kValue) && builder_.number_unsigned(value);
    }
    bool number_float(Json::number_float_t value, const Json::string_t& text) {
        return charge(kValue) && builder_.number_float(value, text);
    }
    bool string(Json::string_t& value) {
        return charge(kValue + kText + heapText(value.size())) && builder_.string(value);
    }
    bool binary(Json::binary_t& value) {
        return charge(kValue + kText + value.size()) && builder_.binary(value);
    }
    bool start_object(std::size_t size) {
        return charge(kValue + kObject) && builder_.start_object(size);
    }
    bool key(Json::string_t& value) {
        return charge(kMember + heapText(value.size())) && builder_.key(value);
    }
    bool end_object() { return builder_.end_object(); }
    bool start_array(std::size_t size) {
        return charge(kValue + kArray) && builder_.start_array(size);
    }
    bool end_array() { return builder_.end_array(); }
    template <class Exception>
    bool parse_error(std::size_t position, const std::string& token, const Exception& error) {
        return builder_.parse_error(position, token, error);
    }

private:
    // A value's own 16 bytes, twice: an array's storage grows by doubling.
    static constexpr std::size_t kValue = 32;
    // An object member's tree node besides its value: links, colour and key.
    static constexpr std::size_t kMember = 80;
    // Each allocation carries 16 bytes of the allocator's besides what it holds.
    static constexpr std::size_t kObject = 48 + 16;
    static constexpr std::size_t kArray = 24 + 16;
    static constexpr std::size_t kText = 32 + 16;
    static constexpr std::size_t kBudgetPerTextByte = 8;
    // Small texts may cost more than their multiple: every value costs tens of bytes.
    static constexpr std::size_t kBudgetFloor = std::size_t{16} << 20;

    // Texts longer than 15 bytes leave the string's own storage.
    static std::size_t heapText(std::size_t length) { return length > 15 ? length + 1 + 16 : 0; }

    bool charge(std::size_t bytes) {
        used_ += bytes;
        if (used_ > budget_) {
            throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                                "The data would take more than " + std::to_string(budget_) +
                                    " bytes of memory to read");
        }
        return true;
    }

    nlohmann::detail::json_sax_dom_parser<Json> builder_;
    std::size_t budget_;
    std::size_t used_ = 0;
};

// Takes the document apart from its deepest values up without allocating anything: the
// library's own destructor first moves every value of a container into a list of its own, which
// for a large array is a large allocation, and one that fails there (while unwinding from a
// failed allocation, say) ends the process.
void dismantle(nlohmann::json& root) noexcept {
    std::array<nlohmann::json*, kMaximumNestingDepth + 1> path{};
    std::size_t depth = 0;
    path[0] = &root;
    for (;;) {
        nlohmann::json& node = *path[depth];
        nlohmann::json* child = nullptr;
        if (node.is_array() && !node.empty()) {
            child = &node.get_ref<nlohmann::json::array_t&>().back();
        } else if (node.is_object() && !node.empty()) {
            child = &std::prev(node.get_ref<nlohmann::json::object_t&>().end())->second;
        }
        if (child == nullptr) {
            if (depth == 0) {
                return;
            }
            nlohmann::json& parent = *path[--depth];
            if (parent.is_array()) {
                parent.get_ref<nlohmann::json::array_t&>().pop_back();
            } else {
                auto& members = parent.get_ref<nlohmann::json::object_t&>();
                members.erase(std::prev(members.end()));
            }
            continue;
        }
        path[++depth] = child;
    }
}

}  // namespace

ParsedJson::ParsedJson(std::string_view text) : root_(std::make_unique<nlohmann::json>()) {
    MemoryBoundedBuilder builder(*root_, text.size());
    try {
        saxParse(text, builder);
    } catch (...) {
        dismantle(*root_);
        throw;
    }
}

ParsedJson::~ParsedJson() {
    dismantle(*root_);
}

}  // namespace platform::json
