#include "LxOrbinDocument/Json/JsonDocumentReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "platform/json/DocumentSaxParse.h"

// A document of 100k tasks is about 100 MB of text. Parsing it into a document first and then
// reading the records from that costs about twice the parse alone, so the records are filled
// from the parser's events as they come, with an explicit stack of what is being filled.
//
// Every value is still judged by the JSON layer's own typed reading: a scalar is handed to it as
// a one-value document, and a structure of the wrong kind is shown to it as an empty object or
// array, so both readers accept and refuse exactly the same values with the same messages. Only
// the path is ours: errors get the path from the stack put in front of theirs.
namespace jsonRecord {
namespace {

using platform::json::CodingKey;
using platform::json::CodingPath;
using platform::json::DecodingError;
using Json = nlohmann::json;

template <class T>
inline constexpr bool isVector = false;
template <class T>
inline constexpr bool isVector<std::vector<T>> = true;

// Below this a double is a Float the JSON layer reads as it is (its limit lies just above).
constexpr double kPlainFloatLimit = 1e38;

// The scalars the JSON layer reads plainly, read here without making a one-value document for
// each: whole numbers into Int64, booleans into Bool, numbers well inside Float's range into
// Float. None for everything else, which the JSON layer reads (or refuses) itself.
template <class T, class Raw>
std::optional<T> plainValue(const Raw& raw) {
    using RawType = std::decay_t<Raw>;
    if constexpr (std::is_same_v<T, std::int64_t> &&
                  std::is_same_v<RawType, Json::number_integer_t>) {
        return raw;
    } else if constexpr (std::is_same_v<T, std::int64_t> &&
                         std::is_same_v<RawType, Json::number_unsigned_t>) {
        if (raw <= static_cast<Json::number_unsigned_t>(std::numeric_limits<std::int64_t>::max())) {
            return static_cast<std::int64_t>(raw);
        }
    } else if constexpr (std::is_same_v<T, bool> && std::is_same_v<RawType, bool>) {
        return raw;
    } else if constexpr (std::is_same_v<T, float> &&
                         std::is_same_v<RawType, Json::number_float_t>) {
        if (std::fabs(raw) < kPlainFloatLimit) {
            return static_cast<float>(raw);
        }
    }
    return std::nullopt;
}

// An object whose members go into the fields of `record`.
template <Record R>
struct ObjectFrame {
    R* record;
    std::size_t field = kUnknownField;  // the field of the key read last
};

// An array whose elements are appended to `elements`.
template <class E>
struct ArrayFrame {
    std::vector<E>* elements;
    std::size_t started = 0;  // elements begun, the one being read included
};

// The value of a key that no record knows, with everything nested in it.
struct SkippedFrame {
    std::size_t depth = 1;
};

// The top-level value of the document.
struct TopFrame {
    std::optional<JsonProject>* project;
};

using Frame =
    std::variant<TopFrame, SkippedFrame, ObjectFrame<JsonProject>, ObjectFrame<JsonPeople>,
                 ObjectFrame<JsonTask>, ObjectFrame<JsonWorkData>, ObjectFrame<JsonCost>,
                 ObjectFrame<JsonResourceAssignment>, ObjectFrame<JsonDateBaseline>,
                 ObjectFrame<JsonTaskUrl>, ArrayFrame<JsonPeople>, ArrayFrame<JsonTask>,
                 ArrayFrame<JsonResourceAssignment>, ArrayFrame<std::int64_t>>;

// The handler of nlohmann::json's SAX interface that fills the records. Copyable: the JSON
// layer starts a reading again from a copy of it when RapidJSON cannot read a number.
class DocumentHandler {
public:
    DocumentHandler(std::optional<JsonProject>& project, const platform::json::Decoder& decoder)
        : decoder_(&decoder) {
        frames_.push_back(TopFrame{&project});
    }

    bool null() { return scalar(nullptr); }
    bool boolean(bool value) { return scalar(value); }
    bool number_integer(Json::number_integer_t value) { return scalar(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return scalar(value); }
    bool number_float(Json::number_float_t value, const Json::string_t&) { return scalar(value); }
    bool string(Json::string_t& value) { return scalar(std::move(value)); }
    // JSON text has no binary values.
    bool binary(Json::binary_t&) { return true; }

    bool key(Json::string_t& key) {
        std::visit([&key](auto& frame) { readKey(frame, key); }, frames_.back());
        return true;
    }

    bool start_object(std::size_t) {
        push(std::visit([this](auto& frame) { return openObject(frame); }, frames_.back()));
        return true;
    }

    bool start_array(std::size_t) {
        push(std::visit([this](auto& frame) { return openArray(frame); }, frames_.back()));
        return true;
    }

    bool end_object() { return close(); }
    bool end_array() { return close(); }

private:
    template <class Raw>
    bool scalar(Raw&& raw) {
        std::visit([&](auto& frame) { putScalar(frame, std::forward<Raw>(raw)); }, frames_.back());
        return true;
    }

    template <class Raw>
    void putScalar(TopFrame&, Raw&& raw) {
        if constexpr (!std::is_null_pointer_v<std::decay_t<Raw>>) {
            static_cast<void>(refuse<JsonProject>(Json(std::forward<Raw>(raw))));
        }
    }

    template <class Raw>
    void putScalar(SkippedFrame&, Raw&&) {}

    template <Record R, class Raw>
    void putScalar(ObjectFrame<R>& frame, Raw&& raw) {
        if (frame.field == kUnknownField) {
            return;
        }
        withField<R>(frame.field, [&](const auto& field) {
            assign(frame.record->*field.member, std::forward<Raw>(raw));
        });
    }

    template <class E, class Raw>
    void putScalar(ArrayFrame<E>& frame, Raw&& raw) {
        ++frame.started;
        if (const std::optional<E> plain = plainValue<E>(raw)) {
            frame.elements->push_back(*plain);
        } else {
            frame.elements->push_back(decodeStandIn<E>(Json(std::forward<Raw>(raw))));
        }
    }

    // Null makes the field absent, as a missing key does.
    template <class T, class Raw>
    void assign(std::optional<T>& member, Raw&& raw) {
        using RawType = std::decay_t<Raw>;
        if constexpr (std::is_null_pointer_v<RawType>) {
            member.reset();
        } else if constexpr (std::is_same_v<T, std::string> &&
                             std::is_same_v<RawType, std::string>) {
            member = std::forward<Raw>(raw);
        } else if constexpr (std::is_same_v<T, platform::Date> &&
                             std::is_same_v<RawType, std::string>) {
            member = date(std::forward<Raw>(raw));
        } else if (const std::optional<T> plain = plainValue<T>(raw)) {
            member = *plain;
        } else {
            member = decodeStandIn<T>(Json(std::forward<Raw>(raw)));
        }
    }

    // The decoder's date of `text`. A plan's dates fall on few days, so each text is read once
    // by the date strategy, whose answer depends on the text alone; a text it refuses stops the
    // reading.
    platform::Date date(std::string&& text) {
        if (const auto found = dates_.find(text); found != dates_.end()) {
            return found->second;
        }
        const platform::Date read = decodeStandIn<platform::Date>(Json(text));
        if (dates_.size() < kMostRememberedDates) {
            dates_.emplace(std::move(text), read);
        }
        return read;
    }

    // The size of the last task list closed at the depth of the one about to open.
    std::size_t taskListSizeHint() {
        const std::size_t depth = frames_.size();
        if (taskListSizes_.size() <= depth) {
            taskListSizes_.resize(depth + 1, 0);
        }
        return taskListSizes_[depth];
    }

    // A hint larger than the list leaves no more room unused than growing it would have.
    void closeTaskList(std::vector<JsonTask>& tasks) {
        taskListSizes_[frames_.size() - 1] = tasks.size();
        if (tasks.capacity() > 2 * tasks.size()) {
            tasks.shrink_to_fit();
        }
    }

    std::optional<Frame> openObject(TopFrame& frame) {
        return ObjectFrame<JsonProject>{&frame.project->emplace()};
    }

    std::optional<Frame> openObject(SkippedFrame& frame) {
        ++frame.depth;
        return std::nullopt;
    }

    template <Record R>
    std::optional<Frame> openObject(ObjectFrame<R>& frame) {
        if (frame.field == kUnknownField) {
            return SkippedFrame{};
        }
        std::optional<Frame> opened;
        withField<R>(frame.field, [&](const auto& field) {
            opened = openObjectIn(frame.record->*field.member);
        });
        return opened;
    }

    template <class E>
    std::optional<Frame> openObject(ArrayFrame<E>& frame) {
        ++frame.started;
        if constexpr (Record<E>) {
            return ObjectFrame<E>{&frame.elements->emplace_back()};
        } else {
            return refuse<E>(Json::object());
        }
    }

    // A key that comes again replaces what the earlier one gave.
    template <class T>
    std::optional<Frame> openObjectIn(std::optional<T>& member) {
        if constexpr (Record<T>) {
            return ObjectFrame<T>{&member.emplace()};
        } else {
            return refuse<T>(Json::object());
        }
    }

    std::optional<Frame> openArray(TopFrame&) { return refuse<JsonProject>(Json::array()); }

    std::optional<Frame> openArray(SkippedFrame& frame) { return openObject(frame); }

    template <Record R>
    std::optional<Frame> openArray(ObjectFrame<R>& frame) {
        if (frame.field == kUnknownField) {
            return SkippedFrame{};
        }
        std::optional<Frame> opened;
        withField<R>(frame.field,
                     [&](const auto& field) { opened = openArrayIn(frame.record->*field.member); });
        return opened;
    }

    // No array of the document holds arrays.
    template <class E>
    std::optional<Frame> openArray(ArrayFrame<E>& frame) {
        ++frame.started;
        return refuse<E>(Json::array());
    }

    template <class T>
    std::optional<Frame> openArrayIn(std::optional<T>& member) {
        if constexpr (std::is_same_v<T, std::vector<JsonTask>>) {
            // The task lists at one depth of a plan tend to be alike in length, and a task
            // record is large to move as its list grows: each list starts with the room that
            // the one before it at its depth needed.
            member.emplace().reserve(taskListSizeHint());
            return ArrayFrame<JsonTask>{&*member};
        } else if constexpr (isVector<T>) {
            return ArrayFrame<typename T::value_type>{&member.emplace()};
        } else {
            return refuse<T>(Json::array());
        }
    }

    void push(std::optional<Frame> frame) {
        if (frame) {
            frames_.push_back(std::move(*frame));
        }
    }

    bool close() {
        if (auto* skipped = std::get_if<SkippedFrame>(&frames_.back());
            skipped && --skipped->depth > 0) {
            return true;
        }
        if (const auto* tasks = std::get_if<ArrayFrame<JsonTask>>(&frames_.back())) {
            closeTaskList(*tasks->elements);
        }
        frames_.pop_back();
        return true;
    }

    template <Record R>
    static void readKey(ObjectFrame<R>& frame, const std::string& key) {
        frame.field = fieldIndex<R>(key, frame.field);
    }

    // Keys inside skipped values.
    template <class AnyFrame>
    static void readKey(AnyFrame&, const std::string&) {}

    // What the JSON layer reads from `value` as a T, its errors placed at the value being read.
    template <class T>
    T decodeStandIn(const Json& value) const {
        try {
            return decoder_->decodeParsed<T>(value);
        } catch (const DecodingError& error) {
            CodingPath path = currentPath();
            path.insert(path.end(), error.codingPath().begin(), error.codingPath().end());
            throw DecodingError(error.kind(), std::move(path), error.debugDescription(),
                                error.expectedType());
        }
    }

    // For a value of a kind that a T never is: the JSON layer says what it expected. Returns
    // nothing ever; the type only lets callers return it.
    template <class T>
    [[noreturn]] std::optional<Frame> refuse(const Json& value) const {
        static_cast<void>(decodeStandIn<T>(value));
        throw DecodingError(DecodingError::Kind::typeMismatch, currentPath(),
                            "Unexpected " + std::string(value.type_name()));
    }

    CodingPath currentPath() const {
        CodingPath path;
        for (const Frame& frame : frames_) {
            std::visit([&path](const auto& step) { appendStep(step, path); }, frame);
        }
        return path;
    }

    template <Record R>
    static void appendStep(const ObjectFrame<R>& frame, CodingPath& path) {
        if (frame.field != kUnknownField) {
            withField<R>(frame.field, [&path](const auto& field) {
                path.push_back(CodingKey::key(std::string(field.key)));
            });
        }
    }

    template <class E>
    static void appendStep(const ArrayFrame<E>& frame, CodingPath& path) {
        if (frame.started > 0) {
            path.push_back(CodingKey::index(frame.started - 1));
        }
    }

    static void appendStep(const TopFrame&, CodingPath&) {}
    static void appendStep(const SkippedFrame&, CodingPath&) {}

    // A memo of dates stops growing at a size no plan needs.
    static constexpr std::size_t kMostRememberedDates = 4096;

    const platform::json::Decoder* decoder_;
    std::vector<Frame> frames_;
    std::unordered_map<std::string, platform::Date> dates_;
    // By the depth in frames_ of the list.
    std::vector<std::size_t> taskListSizes_;
};

}  // namespace

std::optional<JsonProject> readProjectDocument(std::string_view text,
                                               const platform::json::Decoder& decoder) {
    std::optional<JsonProject> project;
    DocumentHandler handler(project, decoder);
    platform::json::saxParseDocument(text, handler);
    return project;
}

}  // namespace jsonRecord
