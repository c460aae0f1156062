#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "app/manager/CombineFixture.h"
#include "support/FileTestHelpers.h"
#include "support/LogCapture.h"

namespace {

using projecttest::local;
using WorkingFolder = OrbinDocumentManager::ProjectWorkingFolder;

// An upper-case UUID text: 8-4-4-4-12 hexadecimal digits.
bool isUuidText(std::string_view text) {
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t index = 0; index < text.size(); ++index) {
        const bool hyphen = index == 8 || index == 13 || index == 18 || index == 23;
        const char c = text[index];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (hyphen ? c != '-' : !hex) {
            return false;
        }
    }
    return true;
}

class CombinedProjectTest : public CombineFixture {
protected:
    struct Person {
        std::string name;
        std::optional<std::string> photo = std::nullopt;
        std::optional<std::string> email = std::nullopt;
        float costRate = 1.0f;
    };

    // A source with one task and the given team.
    std::shared_ptr<OrbProject> teamProject(const std::string& name,
                                            const std::vector<Person>& people) {
        auto made = project(name);
        for (const Person& person : people) {
            made->team()->add(person.name, person.photo, person.email, person.costRate);
        }
        task(*made, made->root(), 1, name + " task");
        return made;
    }

    static std::string photoPath(const std::string& package, const std::string& id) {
        return WorkingFolder(LxFolder::tmpFolder().child("source-" + package, false))
            .photoFile(id)
            .pathString();
    }
};

TEST_F(CombinedProjectTest, TheTeamTakesTheLastPhotoTheFirstMailAndTheFirstRealRate) {
    accept(teamProject("Alpha", {{"Ann", "pA", "  ", 0.001f},
                                 {"Bob", std::nullopt, std::nullopt, 0.0f},
                                 {"Eve", "same", std::nullopt, 3.0f}}));
    accept(teamProject("Beta", {{" ann", "pB", "ann@b.example", 0.5f},
                                {"BOB", " ", std::nullopt, 0.001f},
                                {"Fay", "same", "fay@b.example", 4.0f}}));
    const LogCapture log;

    const auto result = combined(Layout::direct);

    struct Expected {
        std::int64_t id;
        std::string name;
        std::optional<std::string> photo;
        std::optional<std::string> email;
        float costRate;
    };
    const std::vector<Expected> expected = {
        {1, "Ann", "pB", "ann@b.example", 0.5f},
        {2, "Bob", std::nullopt, std::nullopt, 1.0f},
        {3, "Eve", "same", std::nullopt, 3.0f},
        {4, "Fay", "same", "fay@b.example", 4.0f},
    };
    const auto members = result->team()->members();
    ASSERT_EQ(members.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        SCOPED_TRACE(expected[index].name);
        EXPECT_EQ(members[index]->id(), expected[index].id);
        EXPECT_EQ(members[index]->name(), expected[index].name);
        EXPECT_EQ(members[index]->photoid(), expected[index].photo);
        EXPECT_EQ(members[index]->email(), expected[index].email);
        EXPECT_EQ(members[index]->costRate(), expected[index].costRate);
    }
    EXPECT_EQ(result->team()->idseed(), 5);

    // Ann's photo comes from the later source; Fay's "same" finds Eve's copy in place.
    const WorkingFolder folder(documents->packedFolders().back());
    EXPECT_EQ(folder.photoFile("pB").read(), FakeDocuments::photoBytes("/drops/1.orb", "pB"));
    EXPECT_FALSE(folder.photoFile("pA").exists());
    EXPECT_EQ(folder.photoFile("same").read(), FakeDocuments::photoBytes("/drops/0.orb", "same"));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines().front().starts_with("[🔔 warning] Failed to copy photo at " +
                                                photoPath("1.orb", "same") + " \t{ "));
    EXPECT_NE(log.lines().front().find(".(combine())."), std::string::npos);
}

TEST_F(CombinedProjectTest, MergedMembersOfEverySourceMapToOneCombinedMember) {
    auto alpha = teamProject("Alpha", {{"Ann"}, {"Bob"}});
    alpha->findTask(1)->resources().addOrUpdateResource(alpha->team()->get(2), 100);
    auto beta = teamProject("Beta", {{"Cy"}, {"bob "}});
    beta->findTask(1)->resources().addOrUpdateResource(beta->team()->get(2), 30);
    accept(alpha);
    accept(beta);

    const auto result = combined(Layout::direct);

    EXPECT_EQ(named(*result, "Alpha task")->resources().assignments().front()->member(),
              result->team()->get(2));
    EXPECT_EQ(named(*result, "Beta task")->resources().assignments().front()->member(),
              result->team()->get(2));
}

TEST_F(CombinedProjectTest, TheHeaderComesFromTheFirstSourceAndTheProfile) {
    auto alpha = teamProject("Alpha", {});
    alpha->setColorIndex(3);
    alpha->setImageId("tile");
    alpha->setNotes("old notes");
    alpha->setTimespaceScale(2.5f);
    alpha->setTimespaceOrginalTime(local(2024, 1, 1));
    alpha->setScreenOffsetY(12.0f);
    alpha->setCurrency("NOK");
    alpha->setDisplayCurrencyAtBegin(true);
    alpha->setDailyWorkingHours(7.5f);
    alpha->setDefaultCostRate(4.0f);
    alpha->setOnlyWorkingDayTaskSchedule(true);
    alpha->setTaskLinkType(OrbTaskLinkType::linkingList);
    alpha->setPdfAuthorName("Author");
    auto beta = teamProject("Beta", {});
    beta->setColorIndex(9);
    beta->setImageId("other");
    accept(alpha);
    accept(beta);
    engine->output()->setProjectName("");

    const auto result = combined(Layout::direct);

    EXPECT_TRUE(isUuidText(result->uid()));
    EXPECT_NE(result->version(), alpha->version());
    EXPECT_EQ(result->name(), "");
    EXPECT_EQ(result->colorIndex(), 3);
    EXPECT_EQ(result->imageId(), "tile");
    EXPECT_EQ(result->notes(), "");
    EXPECT_EQ(result->timespaceScale(), 2.5f);
    EXPECT_EQ(result->timespaceOrginalTime(), local(2024, 1, 1));
    EXPECT_EQ(result->screenOffsetY(), 12.0f);
    EXPECT_EQ(result->currency(), "NOK");
    EXPECT_TRUE(result->displayCurrencyAtBegin());
    EXPECT_EQ(result->dailyWorkingHours(), 7.5f);
    EXPECT_EQ(result->defaultCostRate(), 4.0f);
    EXPECT_TRUE(result->onlyWorkingDayTaskSchedule());
    EXPECT_EQ(result->taskLinkType(), OrbTaskLinkType::linkingList);
    EXPECT_FALSE(result->pdfAuthorName());
    EXPECT_FALSE(result->userHasSetLinkType());
    // The tile cover is named, not copied.
    EXPECT_EQ(test_files::entriesIn(documents->packedFolders().back().url()), 2);

    // Settings the project would not hold are stored as its setters clamp them.
    auto profile = *engine->output()->profile();
    profile.defaultChargeRate = -2.0f;
    profile.dailyWorkingHours = 30.0f;
    engine->output()->setProfile(profile);
    const auto clamped = combined(Layout::direct);
    EXPECT_EQ(clamped->defaultCostRate(), 1.0f);
    EXPECT_EQ(clamped->dailyWorkingHours(), 8.0f);
}

TEST_F(CombinedProjectTest, TheCalendarSpansTheProfileWithItsExceptionDays) {
    accept(teamProject("Alpha", {}));
    auto profile = *engine->output()->profile();
    profile.start = local(2024, 5, 6);
    profile.finish = local(2024, 6, 10);
    // Outside the document range, and a second day on the same day: both left out.
    profile.calendarExceptions = {local(2024, 5, 8), local(2024, 6, 3, 9), local(1800, 1, 1),
                                  local(2024, 5, 8, 10)};
    engine->output()->setProfile(profile);

    const auto result = combined(Layout::direct);

    EXPECT_EQ(result->calendar()->exceptions(),
              (std::vector<platform::Date>{local(2024, 5, 8), local(2024, 6, 3, 9)}));
    EXPECT_LE(result->calendar()->start(), local(2024, 5, 6));
    EXPECT_GE(result->calendar()->end(), local(2024, 6, 10));
}

TEST_F(CombinedProjectTest, NothingIsMadeOrLoggedWithoutAProfileOrASource) {
    const LogCapture log;
    EXPECT_FALSE(engine->combine());

    engine->output()->refreshOutputProfile(CombineSource::Project{
        0, "/drops/a.orb", teamProject("Alpha", {}), LxFolder("/nowhere", false)});
    EXPECT_FALSE(engine->combine());

    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 0);
    EXPECT_TRUE(documents->saved().empty());
}

// The working folder is only where the package is made: it goes once the package is packed.
TEST_F(CombinedProjectTest, TheResultIsANewPackageAndItsWorkingFolderGoes) {
    accept(teamProject("Alpha", {{"Ann"}}));
    const auto before = test_files::entriesIn(LxFolder::tmpFolder().url());

    const std::optional<LxFile> package = engine->combine();

    ASSERT_TRUE(package);
    EXPECT_EQ(package->fileExtension(), "orb");
    EXPECT_TRUE(isUuidText(package->fileNameWithoutExtension()));
    EXPECT_EQ(package->url().parent_path(), LxFolder::tmpFolder().url().parent_path());
    EXPECT_EQ(FakeDocuments::packagedName(package->url()), "Combined Project");
    const LxFolder working = documents->savedFolders().back();
    EXPECT_EQ(working.url().parent_path().parent_path(), LxFolder::tmpFolder().url().parent_path());
    EXPECT_TRUE(WorkingFolder(documents->packedFolders().back()).photoFolder().exists());
    EXPECT_FALSE(working.exists());
    EXPECT_EQ(test_files::entriesIn(LxFolder::tmpFolder().url()), before + 1);
}

TEST_F(CombinedProjectTest, AFailedSaveGivesNoPackageAndOneErrorLine) {
    accept(teamProject("Alpha", {}));
    documents->failSaving();
    const LogCapture log;

    EXPECT_FALSE(engine->combine());

    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines().front().starts_with(
        "[🔴 error] Failed to save to orb file: Saving failed \t{ "));
    EXPECT_NE(log.lines().front().find(".(combine())."), std::string::npos);
}

}  // namespace
