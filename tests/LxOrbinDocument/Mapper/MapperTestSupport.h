#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "LxOrbinDocument/Json/DocumentTestSupport.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/NumberConversions.h"

// Documents written as text, read into projects and written back, the way packages do it.
namespace mapper_test {

using TaskPtr = std::shared_ptr<OrbProjectTask>;

// The project of a document text; null when the mapper refuses it. The text must read.
inline std::shared_ptr<OrbProject> projectOf(std::string_view documentText) {
    const auto document = document_test::readStreaming(documentText);
    if (!document) {
        ADD_FAILURE() << "the document does not read: " << documentText;
        return nullptr;
    }
    return DataMapService::map(*document);
}

// A document with the given "Root" (a JSON object text) and optional further top-level keys.
inline std::string documentWithRoot(std::string_view root, std::string_view moreKeys = "") {
    std::string text = R"({"Uid": "P", "Ver": "V", )";
    if (!moreKeys.empty()) {
        text.append(moreKeys).append(", ");
    }
    return text.append(R"("Root": )").append(root).append("}");
}

// The document text the mapper writes for `project`.
inline std::string writtenText(const OrbProject& project) {
    return document_test::documentText(DataMapService::map(project));
}

// The tree below and with `task` as "id(child,child(...))", children in order.
inline std::string shapeOf(const TaskPtr& task) {
    std::string shape = lx::toString(task->id());
    if (!task->childs()) {
        return shape;
    }
    shape += "(";
    for (std::size_t index = 0; index < task->childs()->size(); ++index) {
        shape += (index ? "," : "") + shapeOf((*task->childs())[index]);
    }
    return shape + ")";
}

// The keys of a record whose fields are present, in key order.
template <class Record>
std::vector<std::string_view> presentKeys(const Record& record) {
    std::vector<std::string_view> keys;
    std::apply(
        [&](const auto&... fields) {
            ((record.*fields.member ? keys.push_back(fields.key) : void()), ...);
        },
        Record::fields());
    return keys;
}

}  // namespace mapper_test
