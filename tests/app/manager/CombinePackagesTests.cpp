#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "app/manager/EngineDrops.h"
#include "app/manager/OrbinCombineDocuments.h"
#include "app/manager/ScenarioProjects.h"
#include "support/DispatchTest.h"
#include "support/FileTestHelpers.h"
#include "support/LogCapture.h"
#include "utility/LxTreeNode.h"

namespace {

namespace fs = std::filesystem;
using namespace scenario_projects;
using Workloads = std::vector<std::pair<std::string, std::int64_t>>;

const OrbinDocumentManager documents;

// Writes `project` as the package "<name>.orb" in the sandbox, with a photo for every member
// that names one; the photo's bytes name the package.
fs::path packageOf(const OrbProject& project, const std::string& name) {
    const LxFolder working(test_files::sandbox() / ("make-" + name), false);
    const OrbinDocumentManager::ProjectWorkingFolder places(working);
    working.createIfNotExist();
    places.photoFolder().createIfNotExist();
    for (const auto& member : project.team()->members()) {
        if (member->photoid()) {
            places.photoFile(*member->photoid()).write("photo of " + name);
        }
    }
    documents.saveProject(project, working);
    const fs::path package = test_files::sandbox() / (name + ".orb");
    documents.orbFile(project, working, LxFile(package));
    return package;
}

// Real packages, dropped, combined on a background thread and the result opened again: what the
// user gets from the application, end to end.
class CombinePackagesTest : public DispatchTest {
protected:
    static Workloads workloadsOf(const TaskPtr& task) {
        Workloads workloads;
        for (const auto& assignment : task->resources().assignments()) {
            workloads.emplace_back(assignment->member()->name(), assignment->workload());
        }
        return workloads;
    }

    const AppEvents events;
    std::shared_ptr<CombineManager> engine =
        CombineManager::create(events, std::make_shared<const OrbinCombineDocuments>());
    EngineDrops drops{events, engine};
};

TEST_F(CombinePackagesTest, TwoPackagesCombineIntoOneThatOpensAgain) {
    drops.drop(packageOf(*alphaProject(), "alpha"));
    drops.drop(packageOf(*betaProject(), "beta"));
    ASSERT_EQ(engine->source()->projects().size(), 2U);
    engine->output()->setProjectName("Both");
    engine->output()->setSourceProjectLayoutOption(
        CombineOutput::SourceProjectLayoutOption::subProject);

    const std::optional<LxFile> package = drops.combineOnWorker();
    ASSERT_TRUE(package);
    const LxFolder reopened(test_files::sandbox() / "reopened", false);
    reopened.createIfNotExist();
    const auto result = documents.load(*package, reopened);

    EXPECT_EQ(result->name(), "Both");
    // The root, a sub-project task per source, G1, T1, T2, T3, M, U1 and U2, with fresh ids.
    EXPECT_EQ(result->taskCount(), 10);
    std::vector<std::int64_t> ids;
    lx::treeNavigate(result->root(), true,
                     [&ids](const TaskPtr& task) { ids.push_back(task->id()); });
    std::ranges::sort(ids);
    EXPECT_EQ(std::ranges::adjacent_find(ids), ids.end());
    EXPECT_EQ(ids.size(), 10U);

    // Links survive inside each sub-project, under the fresh ids.
    const auto idOf = [&](const std::string& name) { return named(*result, name)->id(); };
    EXPECT_EQ(predecessorIds(named(*result, "T2")), std::vector<std::int64_t>{idOf("T1")});
    EXPECT_EQ(predecessorIds(named(*result, "T3")), std::vector<std::int64_t>{idOf("T2")});
    EXPECT_EQ(predecessorIds(named(*result, "U2")), std::vector<std::int64_t>{idOf("U1")});

    // Ann of both sources is one member, with the later source's photo.
    const auto team = result->team()->members();
    ASSERT_EQ(team.size(), 3U);
    EXPECT_EQ(team[0]->name(), "Ann");
    EXPECT_EQ(team[0]->photoid(), "pB");
    EXPECT_EQ(workloadsOf(named(*result, "T1")), (Workloads{{"Ann", 50}}));
    EXPECT_EQ(workloadsOf(named(*result, "T2")), (Workloads{{"Bob", 100}}));
    EXPECT_EQ(workloadsOf(named(*result, "U1")), (Workloads{{"Ann", 40}, {"Cy", 60}}));
    EXPECT_EQ(named(*result, "T3")->contactor(), team[0]);
    EXPECT_EQ(test_files::contentOf(reopened.url() / "Photo" / "pB.jpg"), "photo of beta");
}

// A dropped file's name and a member's photo id reach the log from outside the program: every
// line names them escaped, so none can forge a line of its own nor send a control to the
// terminal (U+009B starts an escape sequence there).
TEST_F(CombinePackagesTest, NamesFromTheUsersFilesCannotForgeALogLine) {
    const std::string forged =
        "\n[\xF0\x9F\x94\xB4 error] forged\xC2\x9B"
        "2J";
    const std::string escaped = "\\x0A[\xF0\x9F\x94\xB4 error] forged\\xC2\\x9B2J";
    const fs::path broken = test_files::put(test_files::sandbox() / ("plan" + forged + ".orb"));
    // The photo named by the member is not in the package: combining copies nothing for it.
    auto project = OrbProject::create("alpha-uid", "Alpha");
    project->team()->add("Ann", "P" + forged);
    addTask(*project, project->root(), 1, "T1", local(2024, 5, 6));
    const LxFolder working(test_files::sandbox() / "make-alpha", false);
    working.createIfNotExist();
    const fs::path alpha = test_files::sandbox() / "alpha.orb";
    const LogCapture log;

    documents.saveProject(*project, working);
    documents.orbFile(*project, working, LxFile(alpha));
    drops.drop(broken);
    drops.drop(alpha);
    ASSERT_EQ(engine->source()->projects().size(), 1U);
    ASSERT_TRUE(drops.combineOnWorker());

    const std::string sandbox = test_files::sandbox().string();
    const std::vector<std::string> expected = {
        "photo [P" + escaped + "] is not exist in the project working directory",
        "Failed to unzip the .orb file \"" + sandbox + "/plan" + escaped + ".orb\": ",
        "Failed to load project from url: " + sandbox + "/plan" + escaped + ".orb: ",
        "Failed to copy photo at ",
        // The combined member keeps its photo id, and its package is saved without the photo.
        "photo [P" + escaped + "] is not exist in the project working directory",
    };
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        EXPECT_NE(lines[index].find("] " + expected[index]), std::string::npos) << lines[index];
        EXPECT_NE(lines[index].find(escaped), std::string::npos) << lines[index];
        EXPECT_EQ(std::ranges::count(lines[index], '\n'), 1) << lines[index];
    }
    EXPECT_TRUE(lines[3].find("/Photo/P" + escaped + ".jpg") != std::string::npos) << lines[3];
}

}  // namespace
