#pragma once

#include <cstdint>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>
#include <string>
#include <utility>
#include <vector>

#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Model/Task/OrbTaskWork.h"
#include "platform/foundation/Date.h"

// Project documents of any number of tasks for the benchmarks, shaped like real plans: every
// task with dates, assignments, a link to the task before it and a share of the optional
// records, twenty members with photos.
namespace bench_documents {

using platform::Date;

inline constexpr double kDay = 86400.0;
// 2024-01-01 00:00 in Berlin.
inline const Date kProjectStart = Date::fromUnix(1704063600.0);

inline JsonTask makeTask(std::int64_t uid, std::int64_t members) {
    JsonTask task;
    const auto day = static_cast<double>(uid % 300);
    task.uid = uid;
    task.type = uid % 50 == 0 ? JsonTaskType::milestone : JsonTaskType::common;
    task.name = "Task " + std::to_string(uid) + " / lay the foundations";
    task.start = kProjectStart.addingTimeInterval(day * kDay);
    task.finish =
        kProjectStart.addingTimeInterval((day + 1.0 + static_cast<double>(uid % 5)) * kDay);
    task.completedPercent = uid % 101;
    task.resources =
        std::vector<JsonResourceAssignment>{{.peopleId = uid % members + 1, .workload = 100},
                                            {.peopleId = (uid + 7) % members + 1, .workload = 50}};
    if (uid % 4 == 0) {
        task.work = JsonWorkData(OrbTaskWork::fixAmount(static_cast<float>(uid % 40) * 0.5f));
    }
    task.physicalCompletedPercentage = uid % 100;
    task.contactorId = uid % members + 1;
    task.cost = JsonCost();
    task.cost->materialsCost = static_cast<float>(uid % 1000) * 1.25f;
    task.colorIndex = uid % 12;
    if (uid % 3 == 0) {
        task.notes = "Check the drawings with the site manager before starting.";
    }
    task.predecessors = std::vector<std::int64_t>{uid - 1};
    if (uid % 10 == 0) {
        task.dateBaseline = JsonDateBaseline(task.start->addingTimeInterval(9 * 3600.0),
                                             task.finish->addingTimeInterval(17 * 3600.0));
        task.url1 = JsonTaskUrl{.title = "Drawings",
                                .url = "https://example.org/plans/" + std::to_string(uid)};
    }
    task.collapsed = false;
    return task;
}

// Groups of 100 tasks under one root: wide, three levels deep, like a real plan.
inline JsonProjectData makeDocument(std::int64_t tasks) {
    constexpr std::int64_t kMembers = 20;
    JsonProject project("0F5B4C2A-7D1E-4C39-9A0B-2E6F8D3C1A74", "Bench");
    project.peoples.emplace();
    for (std::int64_t id = 1; id <= kMembers; ++id) {
        project.peoples->push_back(JsonPeople{.id = id,
                                              .name = "Member " + std::to_string(id),
                                              .photoId = "photo-" + std::to_string(id),
                                              .costRate = 42.5f});
    }
    project.root = JsonTask();
    project.root->uid = 0;
    project.root->type = JsonTaskType::project;
    project.root->childs.emplace();
    for (std::int64_t uid = 1; uid <= tasks; ++uid) {
        JsonTask task = makeTask(uid, kMembers);
        if (uid % 100 == 1) {
            task.childs.emplace();
            project.root->childs->push_back(std::move(task));
        } else {
            project.root->childs->back().childs->push_back(std::move(task));
        }
    }
    JsonProjectData document;
    document._data = std::move(project);
    return document;
}

// Parses `text` with the parser and the flags documents are read with, keeping nothing: the
// floor of reading a document's text. Answers whether the text was refused.
inline bool rapidSaxParseKeepingNothing(const std::string& text) {
    rapidjson::MemoryStream stream(text.data(), text.size());
    rapidjson::BaseReaderHandler<> nothing;
    rapidjson::Reader reader;
    return reader
        .Parse<rapidjson::kParseValidateEncodingFlag | rapidjson::kParseNumbersAsStringsFlag>(
            stream, nothing)
        .IsError();
}

}  // namespace bench_documents
