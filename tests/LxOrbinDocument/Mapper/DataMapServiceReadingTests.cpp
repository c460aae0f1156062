#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Mapper/MapperTestSupport.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "platform/foundation/DateContext.h"
#include "support/LogCapture.h"
#include "support/UtcDate.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/LxTreeNode.h"

namespace {

using namespace mapper_test;
using platform::Date;

Date today() {
    return lx::toDayOnly(Date::now());
}

// --- Refusal and defaults ---

TEST(DocumentToProject, OnlyADocumentWithoutUidIsRefused) {
    EXPECT_EQ(projectOf("{}"), nullptr);
    EXPECT_EQ(projectOf(R"({"Name": "Plan", "Root": {"Uid": 0, "Start": "2024-01-01",
                           "Finish": "2024-01-02"}})"),
              nullptr);
    const auto emptyUid = projectOf(R"({"Uid": ""})");
    ASSERT_NE(emptyUid, nullptr);
    EXPECT_EQ(emptyUid->uniqueId(), "");
}

TEST(DocumentToProject, OnlyUidGivesTheDefaultsAndARegisteredDefaultRoot) {
    const Date before = today();
    const auto project = projectOf(R"({"Uid": "P"})");
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project->name(), "project");
    EXPECT_EQ(project->version().size(), 36u);
    EXPECT_NE(project->version(), projectOf(R"({"Uid": "P"})")->version());
    EXPECT_EQ(project->currency(), "$");
    EXPECT_EQ(project->dailyWorkingHours(), 8.0f);
    EXPECT_EQ(project->defaultCostRate(), 1.0f);
    EXPECT_EQ(project->timespaceScale(), 1.0f);
    EXPECT_EQ(project->screenOffsetY(), 0.0f);
    EXPECT_EQ(project->colorIndex(), 0);
    EXPECT_EQ(project->taskLinkType(), OrbTaskLinkType::finishToStart);
    EXPECT_FALSE(project->displayCurrencyAtBegin());
    EXPECT_FALSE(project->userHasSetLinkType());
    EXPECT_FALSE(project->onlyWorkingDayTaskSchedule());
    EXPECT_FALSE(project->notes() || project->imageId() || project->pdfAuthorName() ||
                 project->pdfBannerImageId() || project->timespaceOrginalTime());
    EXPECT_EQ(project->team()->count(), 0);
    EXPECT_EQ(project->team()->idseed(), 1);

    ASSERT_TRUE(project->hasRoot());
    const TaskPtr& root = project->root();
    EXPECT_EQ(root->id(), 0);
    EXPECT_EQ(project->findTask(0), root);
    EXPECT_EQ(project->taskCount(), 1);
    EXPECT_EQ(root->globalSequenceNo(), 0);
    EXPECT_EQ(root->childs(), std::nullopt);
    // The test may run across midnight.
    const Date after = today();
    EXPECT_TRUE(root->start() == before || root->start() == after) << root->start();
    EXPECT_EQ(root->finish(), root->start() + LxDays(1));
}

struct HeaderRow {
    const char* keys;
    float dailyWorkingHours;
    float defaultCostRate;
    std::string currency;
    OrbTaskLinkType linkType;
};

TEST(DocumentToProject, HeaderValuesOutOfRangeGetTheirDefaults) {
    const HeaderRow rows[] = {
        {R"("WkHrs": 24)", 24.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("WkHrs": 0.5)", 0.5f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("WkHrs": 0)", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("WkHrs": 24.5)", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("WkHrs": -3)", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("DftCr": -2)", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("DftCr": 0)", 8.0f, 0.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("DftCr": 2.5)", 8.0f, 2.5f, "$", OrbTaskLinkType::finishToStart},
        {R"("Currency": "")", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("Currency": " \t ")", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("Currency": " € ")", 8.0f, 1.0f, " € ", OrbTaskLinkType::finishToStart},
        {R"("LinkT": 0)", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("LinkT": 1)", 8.0f, 1.0f, "$", OrbTaskLinkType::linkingList},
        {R"("LinkT": 2)", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
        {R"("LinkT": -1)", 8.0f, 1.0f, "$", OrbTaskLinkType::finishToStart},
    };
    for (const HeaderRow& row : rows) {
        SCOPED_TRACE(row.keys);
        const auto project = projectOf(std::string(R"({"Uid": "P", )") + row.keys + "}");
        ASSERT_NE(project, nullptr);
        EXPECT_EQ(project->dailyWorkingHours(), row.dailyWorkingHours);
        EXPECT_EQ(project->defaultCostRate(), row.defaultCostRate);
        EXPECT_EQ(project->currency(), row.currency);
        EXPECT_EQ(project->taskLinkType(), row.linkType);
    }
}

// --- The every-key document ---

class EveryKeyDocumentToProject : public testing::Test {
protected:
    void SetUp() override {
        const auto document =
            JsonProjectData::fromFilePath(document_test::fixture("every-key-project.moc").string());
        ASSERT_TRUE(document && document->_data);
        project_ = DataMapService::map(*document->_data);
        ASSERT_NE(project_, nullptr);
    }

    TaskPtr task(std::int64_t id) const { return project_->findTask(id); }

    const platform::ScopedTimeZoneAndLocale pinned_{"Europe/Berlin", "en_US"};
    std::shared_ptr<OrbProject> project_;
};

TEST_F(EveryKeyDocumentToProject, HeaderKeepsWhatItReadsButNotLastUpdateOrDevice) {
    EXPECT_EQ(project_->uniqueId(), "0F5B4C2A-7D1E-4C39-9A0B-2E6F8D3C1A74");
    EXPECT_EQ(project_->name(), "Garden / House");
    EXPECT_EQ(project_->version(), "B1E2C3D4-0000-4000-8000-000000000001");
    EXPECT_EQ(project_->colorIndex(), 3);
    EXPECT_EQ(project_->imageId(), "cover-1");
    EXPECT_EQ(project_->notes(), "Two beds, one shed");
    EXPECT_EQ(project_->defaultCostRate(), 1.5f);
    EXPECT_TRUE(project_->displayCurrencyAtBegin());
    EXPECT_EQ(project_->currency(), "\u20ac");
    EXPECT_EQ(project_->dailyWorkingHours(), 7.5f);
    EXPECT_EQ(project_->timespaceScale(), 0.25f);
    EXPECT_EQ(project_->timespaceOrginalTime(), projecttest::local(2021, 2, 28, 9, 30));
    EXPECT_EQ(project_->screenOffsetY(), -120.5f);
    EXPECT_EQ(project_->taskLinkType(), OrbTaskLinkType::linkingList);
    EXPECT_TRUE(project_->userHasSetLinkType());
    EXPECT_FALSE(project_->onlyWorkingDayTaskSchedule());
    EXPECT_EQ(project_->pdfAuthorName(), "Anna Berg");
    EXPECT_EQ(project_->pdfBannerImageId(), "banner-1");
    EXPECT_EQ(project_->lastUpdate(), std::nullopt);
    EXPECT_EQ(project_->device(), std::nullopt);
    EXPECT_EQ(project_->calendar()->rowData(), "-3;8766;8767");
}

TEST_F(EveryKeyDocumentToProject, MembersAreTheTeamInOrder) {
    const auto members = project_->team()->members();
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0]->id(), 7);
    EXPECT_EQ(members[0]->name(), "Anna Berg");
    EXPECT_EQ(members[0]->initialsName(), "ab");
    EXPECT_EQ(members[0]->photoid(), "photo-7");
    EXPECT_EQ(members[0]->email(), "anna@example.org");
    EXPECT_EQ(members[0]->costRate(), 12.5f);
    EXPECT_EQ(members[1]->id(), 8);
    EXPECT_EQ(members[1]->photoid(), std::nullopt);
    EXPECT_EQ(members[1]->email(), std::nullopt);
    EXPECT_EQ(members[1]->costRate(), 1.0f);
    EXPECT_EQ(project_->team()->idseed(), 9);
}

TEST_F(EveryKeyDocumentToProject, TaskValuesLandInTheirProperties) {
    constexpr std::int64_t kHarvest = 9007199254740993;
    EXPECT_EQ(shapeOf(project_->root()), "0(1(3)," + lx::toString(kHarvest) + ")");
    EXPECT_EQ(project_->taskCount(), 4);

    const TaskPtr dig = task(1);
    ASSERT_NE(dig, nullptr);
    EXPECT_EQ(dig->name(), "Dig the \"beds\"");
    EXPECT_EQ(dig->innerType(), ProjectTaskInnerType::common);
    EXPECT_EQ(dig->workData().kind(), OrbTaskWork::Kind::fixDailyWork);
    EXPECT_EQ(dig->workData().amount(), 6.5f);
    ASSERT_NE(dig->contactor(), nullptr);
    EXPECT_EQ(dig->contactor()->id(), 8);
    EXPECT_EQ(dig->costData().laborCost.amount(), 250.75f);
    EXPECT_EQ(dig->costData().materialsCost, 0.1f);
    EXPECT_EQ(dig->colorIndex(), 4);
    EXPECT_EQ(dig->iconIndex(), 11);
    EXPECT_EQ(dig->notes(), "Spades first\nthen the barrow");
    EXPECT_EQ(dig->dateBaseline()->start(), projecttest::local(2021, 3, 28, 3, 30));
    EXPECT_EQ(dig->dateBaseline()->finish(), projecttest::local(2021, 10, 31, 2, 30));
    EXPECT_EQ(dig->url1(), TaskUrl::make("Plan", "https://example.org/plan"));
    EXPECT_EQ(dig->url2(), TaskUrl::make(std::nullopt, "https://example.org/map"));
    EXPECT_TRUE(dig->collapsed());
    // A group takes its dates and completions from its children.
    EXPECT_EQ(dig->start(), projecttest::local(2021, 3, 2));
    EXPECT_EQ(dig->finish(), projecttest::local(2021, 3, 3));
    EXPECT_EQ(dig->completePercentage(), 0);
    EXPECT_TRUE(dig->resources().isEmpty());
    EXPECT_EQ(dig->predecessorIdListBuf(), std::vector<std::int64_t>{kHarvest});

    const TaskPtr seeds = task(3);
    ASSERT_NE(seeds, nullptr);
    EXPECT_EQ(seeds->colorIndex(), 0);
    EXPECT_EQ(seeds->childs(), std::nullopt);
    EXPECT_EQ(seeds->costData().laborCost.kind(), OrbTaskLaborCost::Kind::auto_);
    EXPECT_EQ(seeds->costData().materialsCost, std::nullopt);

    const TaskPtr harvest = task(kHarvest);
    ASSERT_NE(harvest, nullptr);
    EXPECT_TRUE(harvest->isMilestone());
    EXPECT_EQ(harvest->start(), projecttest::local(2021, 10, 31));

    const TaskPtr& root = project_->root();
    EXPECT_EQ(root->start(), projecttest::local(2021, 3, 2));
    EXPECT_EQ(root->finish(), projecttest::local(2021, 11, 1));
    EXPECT_FALSE(root->collapsed());
    EXPECT_EQ((std::vector<std::int64_t>{root->globalSequenceNo(), dig->globalSequenceNo(),
                                         seeds->globalSequenceNo(), harvest->globalSequenceNo()}),
              (std::vector<std::int64_t>{0, 1, 2, 3}));
}

// --- Members ---

TEST(DocumentToProject, MembersNeedIdAndNameAndKeepTheirRates) {
    const auto project = projectOf(R"({"Uid": "P", "Ples": [
        {"Id": 1, "Nm": "Kato Vey", "Cr": -5},
        {"Nm": "No Id"},
        {"Id": 2},
        {"Id": 4, "Nm": ""}]})");
    const auto members = project->team()->members();
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0]->id(), 1);
    EXPECT_EQ(members[0]->initialsName(), "kv");
    EXPECT_EQ(members[0]->costRate(), -5.0f);
    EXPECT_EQ(members[1]->id(), 4);
    EXPECT_EQ(members[1]->initialsName(), "");
    EXPECT_EQ(project->team()->idseed(), 5);
}

// Looking a member up by a repeated id finds the last of them, as the team always answers.
TEST(DocumentToProject, ARepeatedMemberIdIsKeptTwiceAndNamesTheLastOfThem) {
    const auto project = projectOf(documentWithRoot(
        R"({"Uid": 0, "Type": 2, "Start": "2024-01-01", "Childs": [
            {"Uid": 1, "Start": "2024-01-01", "Finish": "2024-01-02", "Ctor": 5,
             "Res": [{"Pid": 5, "WL": 50}]}]})",
        R"("Ples": [{"Id": 5, "Nm": "First"}, {"Id": 5, "Nm": "Second"}])"));
    EXPECT_EQ(project->team()->count(), 2);
    const TaskPtr task = project->findTask(1);
    ASSERT_NE(task->contactor(), nullptr);
    EXPECT_EQ(task->contactor()->name(), "Second");
    ASSERT_EQ(task->resources().assignments().size(), 1u);
    EXPECT_EQ(task->resources().assignments()[0]->member()->name(), "Second");
}

// --- Task values ---

struct TaskRow {
    const char* keys;  // of task 1, a leaf below a project root
    std::function<void(const OrbProjectTask&)> check;
};

TEST(DocumentToProject, TaskValuesGetTheirDefaultsAndKinds) {
    const TaskRow rows[] = {
        {"",
         [](const OrbProjectTask& task) {
             EXPECT_EQ(task.innerType(), ProjectTaskInnerType::common);
             EXPECT_EQ(task.colorIndex(), 0);
             EXPECT_EQ(task.name(), "");
             EXPECT_EQ(task.completePercentage(), 0);
             EXPECT_EQ(task.workCompletePercentage(), 0);
             EXPECT_TRUE(task.workData().isByResource());
             EXPECT_EQ(task.costData().laborCost.kind(), OrbTaskLaborCost::Kind::auto_);
             EXPECT_EQ(task.costData().materialsCost, std::nullopt);
             EXPECT_EQ(task.contactor(), nullptr);
             EXPECT_EQ(task.notes(), std::nullopt);
             EXPECT_EQ(task.dateBaseline()->start(), std::nullopt);
             EXPECT_EQ(task.url1(), std::nullopt);
             EXPECT_EQ(task.predecessorIdListBuf(), std::nullopt);
             EXPECT_FALSE(task.collapsed());
         }},
        {R"("Type": 1)", [](const auto& task) { EXPECT_TRUE(task.isMilestone()); }},
        {R"("Type": 2)", [](const auto& task) { EXPECT_TRUE(task.isSubProjectTask()); }},
        {R"("Comp": 250, "Phys": -4)",
         [](const auto& task) {
             EXPECT_EQ(task.completePercentage(), 250);
             EXPECT_EQ(task.workCompletePercentage(), -4);
         }},
        {R"("Work": {"WT": 1, "Work": 3})",
         [](const auto& task) {
             EXPECT_EQ(task.workData().raw(), (OrbTaskRawData{1, 3.0f}));
         }},
        {R"("Work": {"WT": 2, "Work": 3})",
         [](const auto& task) {
             EXPECT_EQ(task.workData().raw(), (OrbTaskRawData{2, 3.0f}));
         }},
        {R"("Work": {"WT": 7, "Work": 3})",
         [](const auto& task) {
             EXPECT_EQ(task.workData().raw(), (OrbTaskRawData{2, 3.0f}));
         }},
        {R"("Work": {"WT": 0, "Work": 3})",
         [](const auto& task) { EXPECT_TRUE(task.workData().isByResource()); }},
        {R"("Work": {"WT": 1})",
         [](const auto& task) { EXPECT_TRUE(task.workData().isByResource()); }},
        {R"("Cost": {"Auto": true, "Labc": 50, "Mats": 7})",
         [](const auto& task) {
             EXPECT_EQ(task.costData().laborCost.amount(), 50.0f);
             EXPECT_EQ(task.costData().materialsCost, 7.0f);
         }},
        {R"("Cost": {"Auto": true})",
         [](const auto& task) { EXPECT_FALSE(task.costData().laborCost.isFix()); }},
        {R"("Cost": {"Labc": 50})",
         [](const auto& task) { EXPECT_FALSE(task.costData().laborCost.isFix()); }},
        {R"("Cost": {"Auto": false, "Labc": 50})",
         [](const auto& task) { EXPECT_FALSE(task.costData().laborCost.isFix()); }},
        {R"("url1": {"title": "Plan", "url": ""}, "url2": {"title": "", "url": "u"})",
         [](const auto& task) {
             EXPECT_EQ(task.url1(), std::nullopt);
             ASSERT_TRUE(task.url2());
             EXPECT_EQ(task.url2()->title(), std::nullopt);
             EXPECT_EQ(task.url2()->url(), "u");
         }},
        {R"("DateBaseline": {"start": "2024-01-01T09:15:00"})",
         [](const auto& task) { EXPECT_EQ(task.dateBaseline()->start(), std::nullopt); }},
        {R"("DateBaseline": {"start": "2024-01-01T09:15:00", "finish": "2024-01-01"})",
         [](const auto& task) {
             EXPECT_EQ(task.dateBaseline()->start(), utcDate(2024, 1, 1, 9, 15));
             EXPECT_EQ(task.dateBaseline()->finish(), utcDate(2024, 1, 1));
         }},
        {R"("Clps": true)", [](const auto& task) { EXPECT_TRUE(task.collapsed()); }},
        {R"("Ctor": 99)", [](const auto& task) { EXPECT_EQ(task.contactor(), nullptr); }},
        {R"("Color": 6, "Icon": 2, "Note": "")",
         [](const auto& task) {
             EXPECT_EQ(task.colorIndex(), 6);
             EXPECT_EQ(task.iconIndex(), 2);
             EXPECT_EQ(task.notes(), "");
         }},
    };
    for (const TaskRow& row : rows) {
        SCOPED_TRACE(row.keys);
        std::string task = R"({"Uid": 1, "Start": "2024-01-01", "Finish": "2024-01-03")";
        if (*row.keys) {
            task.append(", ").append(row.keys);
        }
        const auto project = projectOf(documentWithRoot(
            R"({"Uid": 0, "Type": 2, "Color": 9, "Start": "2024-01-01", "Childs": [)" + task +
            "}]}"));
        ASSERT_NE(project, nullptr);
        ASSERT_NE(project->findTask(1), nullptr);
        row.check(*project->findTask(1));
    }
}

TEST(DocumentToProject, TheRootIsNeverCollapsed) {
    const auto project =
        projectOf(documentWithRoot(R"({"Uid": 0, "Start": "2024-01-01", "Finish": "2024-01-02",
                             "Clps": true})"));
    EXPECT_FALSE(project->root()->collapsed());
}

// --- Dates and tree repairs ---

struct TreeRow {
    const char* name;
    const char* root;
    const char* shape;  // "default" for the default root
};

TEST(DocumentToProject, UnusableTasksAreDroppedWithTheirSubtrees) {
    const TreeRow rows[] = {
        {"complete tree",
         R"({"Uid": 0, "Childs": [{"Uid": 1, "Childs": [
              {"Uid": 2, "Start": "2024-01-01", "Finish": "2024-01-02"}]},
              {"Uid": 3, "Start": "2024-01-01", "Finish": "2024-01-02"}]})",
         "0(1(2),3)"},
        {"leaf without finish",
         R"({"Uid": 0, "Childs": [{"Uid": 1, "Start": "2024-01-01"},
              {"Uid": 2, "Start": "2024-01-01", "Finish": "2024-01-02"}]})",
         "0(2)"},
        {"leaf without start",
         R"({"Uid": 0, "Childs": [{"Uid": 1, "Start": "2024-01-01", "Finish": "2024-01-02"},
              {"Uid": 2, "Finish": "2024-01-02"}]})",
         "0(1)"},
        {"task without uid",
         R"({"Uid": 0, "Childs": [{"Childs": [
              {"Uid": 2, "Start": "2024-01-01", "Finish": "2024-01-02"}]},
              {"Uid": 3, "Start": "2024-01-01", "Finish": "2024-01-02"}]})",
         "0(3)"},
        {"empty child list", R"({"Uid": 0, "Start": "2024-01-01", "Finish": "2024-01-02",
              "Childs": []})",
         "0"},
        {"root without uid", R"({"Start": "2024-01-01", "Finish": "2024-01-02"})", "default"},
        {"root leaf without start", R"({"Uid": 4, "Finish": "2024-01-02"})", "default"},
        {"root of an empty child list without dates", R"({"Uid": 4, "Childs": []})", "default"},
    };
    for (const TreeRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto project = projectOf(documentWithRoot(row.root));
        ASSERT_NE(project, nullptr);
        const TaskPtr& root = project->root();
        if (std::string(row.shape) == "default") {
            EXPECT_EQ(shapeOf(root), "0");
            EXPECT_EQ(root->finish(), root->start() + LxDays(1));
            EXPECT_EQ(root->start(), lx::toDayOnly(root->start()));
        } else {
            EXPECT_EQ(shapeOf(root), row.shape);
        }
        EXPECT_EQ(project->findTask(root->id()), root);
    }
}

TEST(DocumentToProject, AGroupWithoutDatesShowsItsChildrensDates) {
    const auto project = projectOf(documentWithRoot(
        R"({"Uid": 0, "Childs": [
              {"Uid": 1, "Start": "2024-01-03", "Finish": "2024-01-05"},
              {"Uid": 2, "Start": "2024-01-01", "Finish": "2024-01-02"}]})"));
    EXPECT_EQ(project->root()->start(), utcDate(2024, 1, 1));
    EXPECT_EQ(project->root()->finish(), utcDate(2024, 1, 5));
}

TEST(DocumentToProject, DatesAreCutToTheirDayAndExchangedWhenReversed) {
    const platform::ScopedTimeZoneAndLocale berlin("Europe/Berlin", "en_US");
    const auto project = projectOf(documentWithRoot(
        R"({"Uid": 0, "Type": 2, "Start": "2024-01-01", "Childs": [
              {"Uid": 1, "Start": "2024-03-05T17:30:00", "Finish": "2024-03-07T08:00:00",
               "DateBaseline": {"start": "2024-03-05T17:30:00", "finish": "2024-03-07T08:00:00"}},
              {"Uid": 2, "Start": "2024-03-09", "Finish": "2024-03-06"},
              {"Uid": 3, "Start": "1800-01-01", "Finish": "1800-01-03"},
              {"Uid": 4, "Start": "2300-01-03", "Finish": "1800-01-01"}]})",
        R"("OriTm": "2024-03-05T17:30:00")"));
    using projecttest::local;
    const TaskPtr cut = project->findTask(1);
    EXPECT_EQ(cut->start(), local(2024, 3, 5));
    EXPECT_EQ(cut->finish(), local(2024, 3, 7));
    EXPECT_EQ(cut->dateBaseline()->start(), local(2024, 3, 5, 17, 30));
    EXPECT_EQ(project->timespaceOrginalTime(), local(2024, 3, 5, 17, 30));

    const TaskPtr reversed = project->findTask(2);
    EXPECT_EQ(reversed->start(), local(2024, 3, 6));
    EXPECT_EQ(reversed->finish(), local(2024, 3, 9));

    // The setters' range rule applies to every task, before the exchange.
    const TaskPtr outOfRange = project->findTask(3);
    EXPECT_EQ(outOfRange->start(), today());
    EXPECT_EQ(outOfRange->finish(), today() + LxDays(1));
    const TaskPtr exchangedOutOfRange = project->findTask(4);
    EXPECT_EQ(exchangedOutOfRange->start(), today());
    EXPECT_EQ(exchangedOutOfRange->finish(), today() + LxDays(1));
}

// --- Assignments ---

TEST(DocumentToProject, AssignmentsNeedAWorkloadAndAKnownMember) {
    struct Row {
        const char* task;  // keys of task 1
        std::vector<std::pair<std::int64_t, std::int64_t>> assignments;
    };
    const Row rows[] = {
        {R"("Res": [{"Pid": 1, "WL": 50}, {"Pid": 2, "WL": 100}])", {{1, 50}, {2, 100}}},
        {R"("Res": [{"Pid": 1, "WL": 0}, {"Pid": 2, "WL": 1}])", {{2, 1}}},
        {R"("Res": [{"Pid": 1}, {"WL": 50}, {"Pid": 99, "WL": 50}])", {}},
        {R"("Res": [{"Pid": 1, "WL": 150}])", {{1, 150}}},
        {R"("Res": [{"Pid": 1, "WL": 150}, {"Pid": 2, "WL": 30}, {"Pid": 1, "WL": 120}])",
         {{1, 100}, {2, 30}}},
        {R"("Type": 1, "Res": [{"Pid": 1, "WL": 50}])", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.task);
        const auto project = projectOf(
            documentWithRoot(std::string(R"({"Uid": 0, "Type": 2, "Start": "2024-01-01", "Childs": [
                {"Uid": 1, "Start": "2024-01-01", "Finish": "2024-01-03", )") +
                                 row.task + "}]}",
                             R"("Ples": [{"Id": 1, "Nm": "Kato"}, {"Id": 2, "Nm": "Ines"}])"));
        std::vector<std::pair<std::int64_t, std::int64_t>> assignments;
        for (const auto& assignment : project->findTask(1)->resources().assignments()) {
            assignments.emplace_back(assignment->member()->id(), assignment->workload());
        }
        EXPECT_EQ(assignments, row.assignments);
    }
}

// --- Links ---

struct LinkRow {
    const char* name;
    const char* childs;  // of a root with id 0; "$D" stands for a day's start and finish
    std::int64_t rootType;
    // Predecessor ids of tasks 1, 2 ...
    std::vector<std::vector<std::int64_t>> predecessors;
    std::vector<std::string> debugLines;
};

std::string withDates(std::string text) {
    constexpr std::string_view kDates = R"("Start": "2024-01-01", "Finish": "2024-01-02")";
    for (std::size_t at = 0; (at = text.find("$D", at)) != std::string::npos;) {
        text.replace(at, 2, kDates);
    }
    return text;
}

// A link holds when the nearest project task above both tasks is the same (the root counts as
// one for the tasks outside every sub-project).
TEST(DocumentToProject, LinksHoldOnlyWithinOneProject) {
    const LinkRow rows[] = {
        {"same level of the root, across groups, an id twice",
         R"({"Uid": 1, "Childs": [{"Uid": 2, $D, "Pred": [4, 4]}]},
            {"Uid": 3, "Childs": [{"Uid": 4, $D, "Pred": [2]}]})",
         0,
         {{}, {4}, {}, {2}},
         {}},
        {"within one sub-project, and to the sub-project task itself",
         R"({"Uid": 1, "Type": 2, "Childs": [{"Uid": 2, $D}, {"Uid": 3, "Childs": [
              {"Uid": 4, $D, "Pred": [2, 3, 1]}]}]})",
         2,
         {{}, {}, {}, {2}},
         {"Invalid link - cross project link between task 4 and 1"}},
        {"across a sub-project border",
         R"({"Uid": 1, "Type": 2, "Childs": [{"Uid": 2, $D, "Pred": [3]}]},
            {"Uid": 3, $D, "Pred": [2, 1]})",
         2,
         {{}, {}, {1}},
         {"Invalid link - cross project link between task 2 and 3",
          "Invalid link - cross project link between task 3 and 2"}},
        {"to a project root",
         R"({"Uid": 1, $D, "Pred": [0]})",
         2,
         {{}},
         {"Invalid link -  task 0 is not in any project"}},
        {"to a common root, to nothing, to a group",
         R"({"Uid": 1, $D, "Pred": [0, 77, 2]}, {"Uid": 2, "Childs": [{"Uid": 3, $D}]})",
         0,
         {{}},
         {}},
        {"to itself", R"({"Uid": 1, $D, "Pred": [1]})", 0, {{1}}, {}},
    };
    for (const LinkRow& row : rows) {
        SCOPED_TRACE(row.name);
        const LogCapture log;
        const auto project =
            projectOf(documentWithRoot(R"({"Uid": 0, "Type": )" + lx::toString(row.rootType) +
                                       R"(, "Childs": [)" + withDates(row.childs) + "]}"));
        ASSERT_NE(project, nullptr);
        for (std::size_t index = 0; index < row.predecessors.size(); ++index) {
            const auto id = static_cast<std::int64_t>(index + 1);
            const TaskPtr task = project->findTask(id);
            ASSERT_NE(task, nullptr) << id;
            const auto* predecessors = task->links().predecessors();
            EXPECT_EQ(predecessors ? projecttest::idsOf(*predecessors->links())
                                   : std::vector<std::int64_t>{},
                      row.predecessors[index])
                << "task " << id;
            for (const std::int64_t predecessor : row.predecessors[index]) {
                EXPECT_TRUE(project->findTask(predecessor)->links().hasDirectSuccessor(id));
            }
        }
        std::vector<std::string> expectedLines;
        for (const std::string& line : row.debugLines) {
            expectedLines.push_back("[\U0001F35A debug] " + line + "\n");
        }
        EXPECT_EQ(log.lines(), expectedLines);
    }
}

// The link pass leaves what it does not resolve: the ids of a group, and those of the root.
TEST(DocumentToProject, ResolvedIdListsAreEmptiedAndOthersKept) {
    const auto project = projectOf(documentWithRoot(
        R"({"Uid": 0, "Type": 2, "Pred": [1], "Childs": [
              {"Uid": 1, "Pred": [2], "Childs": [{"Uid": 2, "Start": "2024-01-01",
                 "Finish": "2024-01-02", "Pred": [5]}]}]})"));
    EXPECT_EQ(project->root()->predecessorIdListBuf(), std::vector<std::int64_t>{1});
    EXPECT_EQ(project->findTask(1)->predecessorIdListBuf(), std::vector<std::int64_t>{2});
    EXPECT_EQ(project->findTask(2)->predecessorIdListBuf(), std::vector<std::int64_t>{});
}

// --- Repeated ids and numbering ---

// Each task of the document is a task of its own: a repeated id ties nothing together.
TEST(DocumentToProject, RepeatedTaskIdsStayApartInTheTree) {
    const auto project = projectOf(documentWithRoot(
        R"({"Uid": 0, "Type": 2, "Childs": [
              {"Uid": 5, "Type": 2, "Name": "outer", "Childs": [
                 {"Uid": 5, "Name": "inner", "Start": "2024-01-02", "Finish": "2024-01-03"}]},
              {"Uid": 6, "Start": "2024-01-04", "Finish": "2024-01-05", "Pred": [5]},
              {"Uid": 6, "Name": "twin", "Start": "2024-01-04", "Finish": "2024-01-05"},
              {"Uid": 0, "Name": "zero", "Start": "2024-01-06", "Finish": "2024-01-07"}]})"));
    const TaskPtr& root = project->root();
    EXPECT_EQ(shapeOf(root), "0(5(5),6,6,0)");
    // The registry holds the last in document order, the link target the last leaf to root.
    EXPECT_EQ(project->findTask(5)->name(), "inner");
    EXPECT_EQ(project->findTask(6)->name(), "twin");
    EXPECT_EQ(project->findTask(0)->name(), "zero");
    const TaskPtr outer = (*root->childs())[0];
    const TaskPtr linked = (*root->childs())[1];
    EXPECT_TRUE(linked->links().hasDirectPredecessor(5));
    EXPECT_EQ(outer->links().successors()->links()->front(), linked);
    EXPECT_EQ((*outer->childs())[0]->parent(), outer);

    std::vector<std::int64_t> numbers;
    lx::treeNavigate(root, true,
                     [&](const TaskPtr& task) { numbers.push_back(task->globalSequenceNo()); });
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5}));
}

TEST(DocumentToProject, SequenceNumbersCountTheMappedTreeInDocumentOrder) {
    const auto project = projectOf(documentWithRoot(
        R"({"Uid": 10, "Childs": [
              {"Uid": 11, "Childs": [{"Uid": 12}, {"Uid": 13, "Start": "2024-01-01",
                 "Finish": "2024-01-02"}]},
              {"Uid": 14, "Start": "2024-01-01", "Finish": "2024-01-02"}]})"));
    EXPECT_EQ(shapeOf(project->root()), "10(11(13),14)");
    EXPECT_EQ(project->findTask(10)->globalSequenceNo(), 0);
    EXPECT_EQ(project->findTask(11)->globalSequenceNo(), 1);
    EXPECT_EQ(project->findTask(13)->globalSequenceNo(), 2);
    EXPECT_EQ(project->findTask(14)->globalSequenceNo(), 3);
}

// --- Depth ---

// Lets go of a record tree level by level: its own destructor would recurse as deep as it goes.
void release(JsonTask& top) {
    std::vector<std::vector<JsonTask>> pending;
    const auto detach = [&pending](JsonTask& task) {
        if (task.childs) {
            pending.push_back(std::move(*task.childs));
            task.childs.reset();
        }
    };
    detach(top);
    while (!pending.empty()) {
        std::vector<JsonTask> level = std::move(pending.back());
        pending.pop_back();
        for (JsonTask& task : level) {
            detach(task);
        }
    }
}

// Far deeper than a document can nest: reading may not recurse as deep as the tree goes.
TEST(DocumentToProject, AChainOfAHundredThousandTasksMapsWithoutRecursion) {
    constexpr std::int64_t kDepth = 100000;
    JsonTask top;
    JsonTask* level = &top;
    for (std::int64_t id = 0; id <= kDepth; ++id) {
        level->uid = id;
        level->start = utcDate(2024, 1, 1);
        level->finish = utcDate(2024, 1, 2);
        if (id < kDepth) {
            level = &level->childs.emplace(1).front();
        }
    }
    const auto project = projecttest::makeProject();
    const TaskPtr root = DataMapService::map(project, nullptr, top);
    ASSERT_NE(root, nullptr);
    TaskPtr deepest = root;
    std::int64_t depth = 0;
    for (; deepest->hasChilds(); deepest = deepest->firstChild()) {
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(deepest->id(), kDepth);
    release(top);
}

}  // namespace
