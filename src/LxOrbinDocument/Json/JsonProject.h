#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "LxOrbinDocument/Json/JsonPeople.h"
#include "LxOrbinDocument/Json/JsonRecordFields.h"
#include "LxOrbinDocument/Json/JsonTask.h"
#include "platform/foundation/Date.h"

// The top-level object of the project document "project.moc": the project's header settings,
// its team under "Ples" and its whole task tree under "Root".
//
// A plain value: every field is optional and any combination is a valid record, the empty object
// included. It reads and writes itself, with the team and the task tree, under the keys of
// `fields()` (see JsonRecordFields.h); JsonProjectData turns whole document texts into records
// and back, with the document's date form. "LstUpd" and "Dvc" are carried only: they are read
// (and type-checked) like every key, but nothing in the system sets them.
//
// Example:
//   JsonProject document("3F2504E0-4F89-11D3-9A0C-0305E82C3301", "Garden");
//   document.currency = "EUR";
//   document.root = JsonTask();
struct JsonProject {
    std::optional<std::string> uniqueId{};
    std::optional<std::string> name{};
    std::optional<std::string> version{};
    std::optional<std::int64_t> colorIndex{};
    std::optional<std::string> imageId{};              // the tile cover "<id>.jpg"
    std::optional<std::vector<JsonPeople>> peoples{};  // in team order
    std::optional<std::string> calendar{};             // exception days, ";"-joined
    std::optional<JsonTask> root{};
    std::optional<platform::Date> lastUpdate{};
    std::optional<std::string> device{};
    std::optional<std::string> notes{};
    std::optional<float> defaultCostRate{};
    std::optional<bool> displayCurrencyAtBegin{};
    std::optional<std::string> currency{};
    std::optional<float> dailyWorkingHours{};
    std::optional<float> timespaceScale{};
    std::optional<platform::Date> timespaceOrginalTime{};
    std::optional<float> screenOffsetY{};
    std::optional<std::int64_t> taskLinkType{};  // 0 finish-to-start, 1 list
    std::optional<bool> userHasSetLinkType{};
    std::optional<bool> onlyWorkingDayTaskSchedule{};
    std::optional<std::string> pdfAuthorName{};
    std::optional<std::string> pdfBannerImageId{};  // the PDF banner "<id>.jpg"

    JsonProject() = default;
    // Only "Uid" and "Name" present.
    JsonProject(std::string uniqueId, std::string name)
        : uniqueId(std::move(uniqueId)), name(std::move(name)) {}

    static constexpr auto fields() {
        using jsonRecord::field;
        return std::tuple{field("Uid", &JsonProject::uniqueId),
                          field("Name", &JsonProject::name),
                          field("Ver", &JsonProject::version),
                          field("Color", &JsonProject::colorIndex),
                          field("Image", &JsonProject::imageId),
                          field("Ples", &JsonProject::peoples),
                          field("Cal", &JsonProject::calendar),
                          field("Root", &JsonProject::root),
                          field("LstUpd", &JsonProject::lastUpdate),
                          field("Dvc", &JsonProject::device),
                          field("Note", &JsonProject::notes),
                          field("DftCr", &JsonProject::defaultCostRate),
                          field("CurFmt", &JsonProject::displayCurrencyAtBegin),
                          field("Currency", &JsonProject::currency),
                          field("WkHrs", &JsonProject::dailyWorkingHours),
                          field("Scale", &JsonProject::timespaceScale),
                          field("OriTm", &JsonProject::timespaceOrginalTime),
                          field("OffY", &JsonProject::screenOffsetY),
                          field("LinkT", &JsonProject::taskLinkType),
                          field("LinkS", &JsonProject::userHasSetLinkType),
                          field("WkOnly", &JsonProject::onlyWorkingDayTaskSchedule),
                          field("Author", &JsonProject::pdfAuthorName),
                          field("Banner", &JsonProject::pdfBannerImageId)};
    }
    void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
    static JsonProject decode(const platform::json::Value& value) {
        return jsonRecord::decode<JsonProject>(value);
    }
};
