// Document text -> records -> project -> records -> text, twice, in UTC and again in a zone that
// skipped a whole day (Pacific/Apia, 2011-12-30): whatever opens must write a text that the
// next round leaves exactly as it is, whatever the zone.
//
// The document reader must also agree with the records' own reading from a parsed document
// (the other JSON reader) on what opens and on what it reads, apart from the two differences
// its header documents: it refuses a NUL byte anywhere (the other parser takes one after the
// value as the end of the text), and of a key given twice in one object it judges the earlier
// value too, where the parsed document keeps only the later.
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "fuzz/FuzzSupport.h"
#include "platform/foundation/DateContext.h"
#include "platform/json/Value.h"

namespace {

// The text a document reads back to and writes, or none when it does not open or not write.
std::optional<std::string> oneRound(std::string_view text) {
    const auto file = fuzz::put(fuzz::scratch() / "project.moc", text);
    const std::optional<JsonProjectData> read = JsonProjectData::fromFilePath(file.string());
    if (!read || !read->_data) {
        return std::nullopt;
    }
    std::shared_ptr<OrbProject> project;
    try {
        project = DataMapService::map(*read->_data);
    } catch (...) {
        return std::nullopt;
    }
    if (!project) {
        return std::nullopt;
    }
    JsonProjectData written;
    written._data = DataMapService::map(*project, true);
    return written.jsonString();
}

void expectFixedPoint(std::string_view text, const char* zone) {
    const std::optional<std::string> first = oneRound(text);
    if (!first) {
        return;
    }
    const std::optional<std::string> second = oneRound(*first);
    if (second != first) {
        fuzz::finding(std::string("in ") + zone + " the written text is no fixed point:\n" +
                      *first + "\n-- reads back as --\n" + second.value_or("(nothing)"));
    }
}

// What one reader makes of the text: refused (none), or the records written back as text
// ("null" for a document that holds no project).
using Reading = std::optional<std::string>;

platform::json::Decoder documentDecoder() {
    return platform::json::Decoder(
        platform::json::DateDecodingStrategy::custom(JsonProjectData::decodeJsonDate));
}

Reading written(const std::optional<JsonProject>& project) {
    if (!project) {
        return "null";
    }
    JsonProjectData document;
    document._data = project;
    return document.jsonString().value_or("(not writable)");
}

Reading streamed(std::string_view text) {
    try {
        return written(documentDecoder().decode<JsonProjectData>(text)._data);
    } catch (...) {
        return std::nullopt;
    }
}

Reading parsed(std::string_view text) {
    try {
        return written(documentDecoder().decode<std::optional<JsonProject>>(text));
    } catch (...) {
        return std::nullopt;
    }
}

// Finds whether some object of a JSON text names a key twice.
class RepeatedKeyFinder : public nlohmann::json_sax<nlohmann::json> {
public:
    bool found = false;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        keys_.emplace_back();
        return true;
    }
    bool key(string_t& value) override {
        found = found || !keys_.back().insert(value).second;
        return !found;
    }
    bool end_object() override {
        keys_.pop_back();
        return true;
    }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    std::vector<std::set<string_t>> keys_;
};

bool repeatsAKey(std::string_view text) {
    RepeatedKeyFinder finder;
    nlohmann::json::sax_parse(text.begin(), text.end(), &finder);
    return finder.found;
}

void expectTheReadersAgree(std::string_view text) {
    const Reading streaming = streamed(text);
    if (text.find('\0') != std::string_view::npos) {
        if (streaming) {
            fuzz::finding("the document reader took a text holding a NUL byte:\n" +
                          std::string(text));
        }
        return;
    }
    const Reading other = parsed(text);
    if (streaming == other) {
        return;
    }
    // Judging the earlier of two values of one key refuses more, never less.
    if (!streaming && other && repeatsAKey(text)) {
        return;
    }
    fuzz::finding("the two JSON readers disagree:\n" + std::string(text) +
                  "\n-- the document reader --\n" + streaming.value_or("(refused)") +
                  "\n-- the parsed document --\n" + other.value_or("(refused)"));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytesOf(data, size);
    expectTheReadersAgree(text);
    expectFixedPoint(text, "UTC");
    {
        const platform::ScopedTimeZoneAndLocale skippedADay("Pacific/Apia", "en_US");
        expectFixedPoint(text, "Pacific/Apia");
    }
    return 0;
}
