#include "LxOrbinDocument/Mapper/ProjectDocumentText.h"

#include "LxOrbinDocument/Json/JsonProject.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Json/JsonRecordFields.h"
#include "LxOrbinDocument/Json/JsonTask.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "platform/json/Writer.h"

namespace {

// A task of the model written as its record with its subtree, as DataMapService maps it: a
// task with a child list, empty or not, writes "Childs".
class ModelTaskRecord {
public:
    explicit ModelTaskRecord(const OrbProjectTask& task) : task_(task) {}

    void encode(platform::json::Writer& writer) const {
        const JsonTask record = DataMapService::map(task_, false);
        jsonRecord::encodeReplacing(
            record, &JsonTask::childs,
            [this](platform::json::ObjectWriter& object, std::string_view key) {
                if (const auto& childs = task_.childs()) {
                    object.encodeArray(key, [&childs](platform::json::ArrayWriter& array) {
                        for (const auto& child : *childs) {
                            array.encode(ModelTaskRecord(*child));
                        }
                    });
                }
            },
            writer);
    }

private:
    const OrbProjectTask& task_;
};

// The project's header and team, mapped whole (they are small), and its task tree as
// ModelTaskRecords under "Root".
class ModelProjectRecord {
public:
    explicit ModelProjectRecord(const OrbProject& project) : project_(project) {}

    void encode(platform::json::Writer& writer) const {
        const JsonProject header = DataMapService::map(project_, false);
        jsonRecord::encodeReplacing(
            header, &JsonProject::root,
            [this](platform::json::ObjectWriter& object, std::string_view key) {
                object.encode(key, ModelTaskRecord(*project_.root()));
            },
            writer);
    }

private:
    const OrbProject& project_;
};

}  // namespace

std::optional<std::string> projectDocumentText(const OrbProject& project,
                                               std::size_t expectedSize) {
    try {
        return platform::json::Encoder(JsonProjectData::writingStrategy(),
                                       platform::json::Formatting::pretty)
            .encode(ModelProjectRecord(project), expectedSize);
    } catch (...) {
        return std::nullopt;
    }
}
