// Document text -> records -> project -> records -> text, twice: whatever opens must write a
// text that the next round leaves exactly as it is.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "fuzz/FuzzSupport.h"

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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<std::string> first = oneRound(fuzz::bytesOf(data, size));
    if (!first) {
        return 0;
    }
    const std::optional<std::string> second = oneRound(*first);
    if (second != first) {
        fuzz::finding("the written text is no fixed point:\n" + *first + "\n-- reads back as --\n" +
                      second.value_or("(nothing)"));
    }
    return 0;
}
