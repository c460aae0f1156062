#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Mapper/MapperTestSupport.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "platform/foundation/DateContext.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using namespace mapper_test;
using platform::Date;
using projecttest::addTask;
using projecttest::monday;
using Keys = std::vector<std::string_view>;

// A project with two members, a leaf (task 1) and a second leaf (task 2) below its root.
class ProjectToDocument : public testing::Test {
protected:
    void SetUp() override {
        kato_ = project_->team()->add("Kato Vey", "photo-1", "kato@example.org", 42.0f);
        ines_ = project_->team()->add("Ines Ho");
        leaf_ = addTask(*project_, project_->root(), 1, monday(), 2);
        other_ = addTask(*project_, project_->root(), 2, monday(), 1);
    }

    JsonTask recordOf(const TaskPtr& task) const { return DataMapService::map(*task); }

    std::shared_ptr<OrbProject> project_ = projecttest::makeProject();
    std::shared_ptr<OrbProjectMember> kato_;
    std::shared_ptr<OrbProjectMember> ines_;
    TaskPtr leaf_;
    TaskPtr other_;
};

TEST_F(ProjectToDocument, ALeafWritesOnlyTheValuesThatSaySomething) {
    struct Row {
        const char* name;
        std::function<void(OrbProjectTask&)> change;
        Keys keys;
    };
    const Keys bare = {"Uid", "Type", "Name", "Start", "Finish", "Cost", "Clps"};
    const Row rows[] = {
        {"bare leaf", [](OrbProjectTask&) {}, bare},
        {"empty links, baseline and notes",
         [](OrbProjectTask& task) {
             static_cast<void>(task.links());
             static_cast<void>(task.dateBaseline());
             task.setName("");
         },
         bare},
        // Notes, links, baseline and outline numbers share a record: one of them present
        // writes that one alone.
        {"notes alone",
         [](OrbProjectTask& task) { task.setNotes("n"); },
         {"Uid", "Type", "Name", "Start", "Finish", "Cost", "Note", "Clps"}},
        {"an outline number read and the second link",
         [](OrbProjectTask& task) {
             static_cast<void>(task.wbsNo());
             task.setUrl2(TaskUrl::make(std::nullopt, "u2"));
         },
         {"Uid", "Type", "Name", "Start", "Finish", "Cost", "url2", "Clps"}},
        {"a dated baseline alone",
         [](OrbProjectTask& task) { task.dateBaseline()->change(monday(), monday() + LxDays(1)); },
         {"Uid", "Type", "Name", "Start", "Finish", "Cost", "DateBaseline", "Clps"}},
        {"only an assignment of workload 0",
         [this](OrbProjectTask& task) { task.resources().addOrUpdateResource(kato_, 0); }, bare},
        {"every value",
         [this](OrbProjectTask& task) {
             task.setCompletedPercentage(40);
             task.resources().addOrUpdateResource(kato_, 0);
             task.resources().addOrUpdateResource(ines_, 50);
             task.setWork(OrbTaskWork::fixAmount(12.0f));
             task.setWorkCompletedPercentage(-1);
             task.setContactor(kato_);
             task.setLaborCost(OrbTaskLaborCost::fix(3.0f));
             task.setColor(5);
             task.setIcon(-2);
             task.setNotes("");
             task.links().addPredecessor(other_);
             task.dateBaseline()->change(monday(), monday() + LxDays(1));
             task.setUrl1(TaskUrl::make(std::nullopt, "u1"));
             task.setUrl2(TaskUrl::make("Two", "u2"));
             task.collapse();
         },
         {"Uid", "Type", "Name", "Start", "Finish", "Comp", "Res", "Work", "Phys", "Ctor", "Cost",
          "Color", "Icon", "Note", "Pred", "DateBaseline", "url1", "url2", "Clps"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TaskPtr task = addTask(*project_, project_->root(), 10, monday(), 3);
        row.change(*task);
        EXPECT_EQ(presentKeys(recordOf(task)), row.keys);
        project_->removeChild(project_->root(), task);
    }
}

TEST_F(ProjectToDocument, LeafValuesAreWrittenAsTheDocumentCodesThem) {
    leaf_->setInnerType(ProjectTaskInnerType::project);
    leaf_->setName("Design");
    leaf_->setCompletedPercentage(40);
    leaf_->resources().addOrUpdateResource(kato_, 0);
    leaf_->resources().addOrUpdateResource(ines_, 50);
    leaf_->resources().addOrUpdateResource(kato_, 100);
    leaf_->setWork(OrbTaskWork::fixDailyWork(2.5f));
    leaf_->setContactor(ines_);
    leaf_->setMaterialsCost(7.0f);
    leaf_->links().addPredecessor(other_);
    leaf_->links().addPredecessor(leaf_);
    leaf_->setUrl1(TaskUrl::make("", "u1"));

    const JsonTask record = recordOf(leaf_);
    EXPECT_EQ(record.type, JsonTaskType::project);
    EXPECT_EQ(record.name, "Design");
    EXPECT_EQ(record.start, monday());
    EXPECT_EQ(record.finish, monday() + LxDays(2));
    EXPECT_EQ(record.completedPercent, 40);
    EXPECT_EQ(document_test::compactText(record.resources),
              R"([{"Pid":1,"WL":100},{"Pid":2,"WL":50}])");
    EXPECT_EQ(document_test::compactText(record.work), R"({"WT":1,"Work":2.5})");
    EXPECT_EQ(record.contactorId, 2);
    EXPECT_EQ(document_test::compactText(record.cost), R"({"Mats":7})");
    EXPECT_EQ(record.predecessors, (std::vector<std::int64_t>{2, 1}));
    EXPECT_EQ(document_test::compactText(record.url1), R"({"url":"u1"})");
    EXPECT_EQ(record.collapsed, false);
}

// A group shows what its children add up to; its own work and cost settings are kept for it.
TEST_F(ProjectToDocument, AGroupWritesItsDerivedValuesAndItsOwnSettings) {
    leaf_->setWork(OrbTaskWork::fixAmount(8.0f));
    leaf_->setCompletedPercentage(50);
    leaf_->resources().addOrUpdateResource(kato_, 100);
    leaf_->setLaborCost(OrbTaskLaborCost::fix(11.0f));
    leaf_->setMaterialsCost(2.0f);
    leaf_->links().addPredecessor(other_);
    const TaskPtr child = addTask(*project_, leaf_, 3, monday() + LxDays(7), 1);
    child->setWork(OrbTaskWork::fixAmount(4.0f));
    child->setCompletedPercentage(100);
    child->setWorkCompletedPercentage(100);
    project_->root()->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
    leaf_->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);

    const JsonTask record = recordOf(leaf_);
    EXPECT_EQ(presentKeys(record), (Keys{"Uid", "Type", "Name", "Start", "Finish", "Comp", "Work",
                                         "Phys", "Cost", "Childs", "Clps"}));
    EXPECT_EQ(record.start, monday() + LxDays(7));
    EXPECT_EQ(record.finish, monday() + LxDays(8));
    EXPECT_EQ(record.completedPercent, 100);
    EXPECT_EQ(record.physicalCompletedPercentage, 100);
    EXPECT_EQ(document_test::compactText(record.work), R"({"WT":2,"Work":8})");
    EXPECT_EQ(document_test::compactText(record.cost), R"({"Auto":true,"Labc":11,"Mats":2})");
    ASSERT_TRUE(record.childs);
    EXPECT_EQ(record.childs->size(), 1u);
}

TEST_F(ProjectToDocument, AMilestoneStartsOneDayBeforeItsFinishAcrossAClockChange) {
    const platform::ScopedTimeZoneAndLocale berlin("Europe/Berlin", "en_US");
    using projecttest::local;
    const TaskPtr milestone =
        project_->createChild(project_->root(), 5, local(2024, 1, 1), local(2024, 4, 1));
    milestone->setInnerType(ProjectTaskInnerType::milestone);
    milestone->resources().addOrUpdateResource(kato_, 100);

    const JsonTask record = recordOf(milestone);
    EXPECT_EQ(record.start, local(2024, 3, 31));
    EXPECT_EQ(record.finish, local(2024, 4, 1));
    EXPECT_EQ(record.resources, std::nullopt);
}

TEST_F(ProjectToDocument, ChildListsAreWrittenAsTheTaskHoldsThem) {
    const TaskPtr emptied = addTask(*project_, leaf_, 3, monday(), 1);
    project_->removeChild(leaf_, emptied);
    ASSERT_TRUE(leaf_->childs() && leaf_->childs()->empty());

    const JsonTask root = DataMapService::map(*project_->root());
    ASSERT_TRUE(root.childs);
    ASSERT_EQ(root.childs->size(), 2u);
    EXPECT_EQ((*root.childs)[0].uid, 1);
    EXPECT_EQ((*root.childs)[0].childs, std::vector<JsonTask>{});
    EXPECT_EQ((*root.childs)[1].uid, 2);
    EXPECT_EQ((*root.childs)[1].childs, std::nullopt);
    EXPECT_EQ(DataMapService::map(*project_->root(), false).childs, std::nullopt);
}

// --- The project ---

TEST_F(ProjectToDocument, HeaderValuesAreAlwaysWrittenAndOptionalOnesWhenPresent) {
    project_->setLastUpdate(monday());
    project_->setDevice("desk");
    const JsonProject bare = DataMapService::map(*project_);
    EXPECT_EQ(presentKeys(bare),
              (Keys{"Uid", "Name", "Ver", "Color", "Ples", "Root", "DftCr", "CurFmt", "Currency",
                    "WkHrs", "Scale", "OffY", "LinkT", "LinkS", "WkOnly"}));
    EXPECT_EQ(document_test::compactText(bare.peoples),
              R"([{"Id":1,"Nm":"Kato Vey","Pt":"photo-1","Em":"kato@example.org","Cr":42},)"
              R"({"Id":2,"Nm":"Ines Ho","Cr":1}])");

    project_->setNotes("");
    project_->setTimespaceOrginalTime(monday());
    project_->setImageId("cover");
    project_->setPdfAuthorName("Kato");
    project_->setPdfBannerImageId("banner");
    project_->setTaskLinkType(OrbTaskLinkType::linkingList);
    project_->calendar()->setDayExceptionString("8767;8766");
    const JsonProject full = DataMapService::map(*project_, false);
    EXPECT_EQ(presentKeys(full),
              (Keys{"Uid",  "Name",  "Ver",    "Color",    "Image",  "Ples",  "Cal",
                    "Note", "DftCr", "CurFmt", "Currency", "WkHrs",  "Scale", "OriTm",
                    "OffY", "LinkT", "LinkS",  "WkOnly",   "Author", "Banner"}));
    EXPECT_EQ(full.calendar, "8766;8767");
    EXPECT_EQ(full.taskLinkType, 1);
}

TEST(ProjectToDocumentWithoutRoot, AnEmptyProjectWritesAnEmptyTeamAndTheDefaultRoot) {
    const auto project = OrbProject::create("P", "Empty", "V");
    const JsonProject withoutTasks = DataMapService::map(*project, false);
    EXPECT_FALSE(project->hasRoot());
    ASSERT_TRUE(withoutTasks.peoples);
    EXPECT_TRUE(withoutTasks.peoples->empty());

    const Date today = lx::toDayOnly(Date::now());
    const JsonProject document = DataMapService::map(*project);
    ASSERT_TRUE(document.root);
    EXPECT_EQ(presentKeys(*document.root),
              (Keys{"Uid", "Type", "Name", "Start", "Finish", "Cost", "Clps"}));
    EXPECT_EQ(document.root->uid, 0);
    EXPECT_TRUE(document.root->start == today ||
                document.root->start == lx::toDayOnly(Date::now()));
    EXPECT_EQ(document.root->finish, *document.root->start + LxDays(1));
}

}  // namespace
