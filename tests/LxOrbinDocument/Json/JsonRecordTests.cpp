#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Json/DocumentTestSupport.h"
#include "LxOrbinDocument/Json/JsonLeafRecords.h"
#include "LxOrbinDocument/Json/JsonTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskCost.h"
#include "LxOrbinDocument/Model/Task/OrbTaskWork.h"
#include "utility/LxTreeNode.h"

namespace {

using namespace document_test;

std::string describe(const OrbTaskWork& work) {
    switch (work.kind()) {
        case OrbTaskWork::Kind::fixDailyWork:
            return "fixDailyWork " + std::to_string(*work.amount());
        case OrbTaskWork::Kind::fixAmount:
            return "fixAmount " + std::to_string(*work.amount());
        case OrbTaskWork::Kind::byResource:
            return "byResource";
    }
    return "?";
}

TEST(JsonWorkData, ReadAsTheWorkSettingItStandsFor) {
    struct Row {
        const char* json;
        std::string expected;
    };
    const Row rows[] = {
        {R"({"WT": 1, "Work": 6.5})", describe(OrbTaskWork::fixDailyWork(6.5f))},
        {R"({"WT": 2, "Work": 40})", describe(OrbTaskWork::fixAmount(40.0f))},
        {R"({"WT": 7, "Work": 3})", describe(OrbTaskWork::fixAmount(3.0f))},
        {R"({"WT": -1, "Work": 3})", describe(OrbTaskWork::fixAmount(3.0f))},
        {R"({"WT": 0, "Work": 3})", "byResource"},
        {R"({"WT": 1})", "byResource"},
        {R"({"Work": 3})", "byResource"},
        {R"({})", "byResource"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.json);
        EXPECT_EQ(describe(platform::json::Decoder().decode<JsonWorkData>(row.json).taskWork()),
                  row.expected);
    }
}

TEST(JsonWorkData, WrittenFromTheWorkSettingAndBack) {
    struct Row {
        OrbTaskWork work;
        const char* json;
    };
    const Row rows[] = {
        {OrbTaskWork::fixDailyWork(6.5f), R"({"WT":1,"Work":6.5})"},
        {OrbTaskWork::fixAmount(40.0f), R"({"WT":2,"Work":40})"},
        {OrbTaskWork::byResource(), "{}"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.json);
        const JsonWorkData record(row.work);
        EXPECT_EQ(compactText(record), row.json);
        EXPECT_EQ(describe(record.taskWork()), describe(row.work));
    }
}

TEST(JsonCost, WrittenFromTheTaskCost) {
    EXPECT_EQ(compactText(JsonCost(OrbTaskCost(OrbTaskLaborCost::fix(250.5f), 3.0f))),
              R"({"Auto":true,"Labc":250.5,"Mats":3})");
    EXPECT_EQ(compactText(JsonCost(OrbTaskCost(OrbTaskLaborCost::auto_(), std::nullopt))), "{}");
    EXPECT_EQ(compactText(JsonCost(OrbTaskCost(OrbTaskLaborCost::auto_(), 0.0f))), R"({"Mats":0})");
}

TEST(JsonTaskType, OnlyTheThreeKinds) {
    EXPECT_EQ(JsonTaskType::fromRawValue(0), JsonTaskType::common);
    EXPECT_EQ(JsonTaskType::fromRawValue(1), JsonTaskType::milestone);
    EXPECT_EQ(JsonTaskType::fromRawValue(2), JsonTaskType::project);
    EXPECT_EQ(JsonTaskType::fromRawValue(3), std::nullopt);
    EXPECT_EQ(JsonTaskType::fromRawValue(-1), std::nullopt);
    EXPECT_EQ(compactText(JsonTaskType(JsonTaskType::milestone)), "1");
    EXPECT_EQ(platform::json::Decoder().decode<JsonTaskType>("2.0"), JsonTaskType::project);
}

JsonTask task(std::optional<std::int64_t> uid, std::string name) {
    JsonTask record;
    record.uid = uid;
    record.name = std::move(name);
    return record;
}

TEST(JsonTask, EqualByUidAlone) {
    EXPECT_EQ(task(5, "Dig"), task(5, "Plant"));
    EXPECT_EQ(task(std::nullopt, "Dig"), task(std::nullopt, "Plant"));
    EXPECT_NE(task(std::nullopt, "Dig"), task(0, "Dig"));
    EXPECT_NE(task(5, "Dig"), task(6, "Dig"));
}

TEST(JsonTask, IsATreeNodeWhoseChildsAreItsChildList) {
    static_assert(LxTreeNode<const JsonTask*>);
    JsonTask root = task(0, "Root");
    EXPECT_FALSE(lx::treeHasChilds(&root));
    root.childs.emplace();
    EXPECT_FALSE(lx::treeHasChilds(&root));
    root.childs->push_back(task(1, "Dig"));
    root.childs->front().childs = std::vector<JsonTask>{task(2, "Seeds")};
    EXPECT_TRUE(lx::treeHasChilds(&root));
    std::vector<std::int64_t> visited;
    lx::treeNavigate(&root, true, [&visited](const JsonTask* node) {
        visited.push_back(node->uid.value_or(-1));
    });
    EXPECT_EQ(visited, (std::vector<std::int64_t>{0, 1, 2}));
}

TEST(JsonLeafRecords, EmptyObjectsReadAndWriteAsEmpty) {
    const platform::json::Decoder decoder;
    EXPECT_EQ(compactText(decoder.decode<JsonWorkData>("{}")), "{}");
    EXPECT_EQ(compactText(decoder.decode<JsonCost>("{}")), "{}");
    EXPECT_EQ(compactText(decoder.decode<JsonResourceAssignment>("{}")), "{}");
    EXPECT_EQ(compactText(decoder.decode<JsonDateBaseline>("{}")), "{}");
    EXPECT_EQ(compactText(decoder.decode<JsonTaskUrl>("{}")), "{}");
    EXPECT_EQ(compactText(decoder.decode<JsonPeople>("{}")), "{}");
    EXPECT_EQ(compactText(JsonTask()), "{}");
    EXPECT_EQ(compactText(JsonPeople{.costRate = 2.5f}), R"({"Cr":2.5})");
    EXPECT_EQ(compactText(decoder.decode<JsonCost>(R"({"Auto": false, "Labc": 3})")),
              R"({"Auto":false,"Labc":3})");
}

}  // namespace
