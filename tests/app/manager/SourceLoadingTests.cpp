#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "app/manager/CombineTestSupport.h"
#include "app/manager/FakeDocuments.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/reactive/AnyCancellable.h"
#include "support/DispatchTest.h"
#include "support/FileTestHelpers.h"
#include "support/LogCapture.h"

namespace {

using namespace combinetest;
using Journal = std::vector<std::string>;
using TeamShapeOf = std::vector<std::pair<std::string, std::size_t>>;

const std::string kAlpha = "/drops/alpha.orb";
const std::string kBeta = "/drops/beta.orb";
const std::string kDollars = "/drops/dollars.orb";

// An engine over fake packages, and a journal of what reaches the main queue: overlay requests,
// messages, problem reports, and changes of the list and the profile, in their order.
class SourceLoadingTest : public DispatchTest {
protected:
    void SetUp() override {
        DispatchTest::SetUp();
        documents->add(kAlpha, [] { return makeProject({.team = {{"Ann"}, {"Bob"}}}); });
        documents->add(kBeta, [] { return makeProject({.team = {{"Cy"}}}); });
        documents->add(kDollars,
                       [] { return makeProject({.currency = "USD", .dailyWorkingHours = 7.5f}); });
        note(events.hudPresentingRequest()->subject(),
             [](const std::optional<std::string>& caption) { return "present " + *caption; });
        note(events.hudDismissingRequest()->subject(), [](auto) { return "dismiss"; });
        note(events.failurePresentRequest()->subject(),
             [](const std::string& text) { return "failure " + text; });
        note(engine->projectValidatingFailedEvent()->subject(),
             [this](const CombineSource::ValidationResult& problems) {
                 reported.push_back(problems);
                 return "problems";
             });
        note(engine->source()->objectWillChange(), [](auto) { return "list"; });
        note(engine->output()->objectWillChange(), [](auto) { return "profile"; });
    }

    // Pumps the main queue until the overlay has been dismissed `count` times in all, then until
    // it is idle.
    void pumpUntilDismissed(int count) {
        ASSERT_TRUE(platform::dispatch::runUntil(
            [&] { return std::ranges::count(journal, "dismiss") >= count; },
            std::chrono::seconds(10)));
        platform::dispatch::runUntilIdle();
    }

    // The entries from `from` on.
    Journal journalFrom(std::size_t from) const {
        return Journal(journal.begin() + static_cast<std::ptrdiff_t>(from), journal.end());
    }

    std::vector<std::int64_t> listedIndexes() const {
        std::vector<std::int64_t> indexes;
        for (const auto& project : engine->source()->projects()) {
            indexes.push_back(project.index);
        }
        return indexes;
    }

    static int workingFolders() { return test_files::entriesIn(LxFolder::tmpFolder().url()); }

    // Whether the working folders come to number `count`: the last copy of a source's record
    // may be let go of on the background queue.
    static bool workingFoldersBecome(int count) {
        return platform::dispatch::runUntil([count] { return workingFolders() == count; },
                                            std::chrono::seconds(10));
    }

    std::shared_ptr<FakeDocuments> documents = std::make_shared<FakeDocuments>();
    const AppEvents events;
    std::shared_ptr<CombineManager> engine = CombineManager::create(events, documents);
    Journal journal;
    std::vector<CombineSource::ValidationResult> reported;

private:
    template <class Publisher, class Describe>
    void note(const Publisher& publisher, Describe describe) {
        watching_.push_back(publisher.sink(
            [this, describe](const auto& value) { journal.push_back(describe(value)); }));
    }

    std::vector<platform::reactive::AnyCancellable> watching_;
};

TEST_F(SourceLoadingTest, AnAcceptedSourceIsListedThenMergedThenTheOverlayGoes) {
    // The drop arrives on a thread of its own; the package opens there.
    std::thread drop([&] { engine->addSourceProject(kAlpha); });
    drop.join();
    pumpUntilDismissed(1);
    engine->addSourceProject(kAlpha);
    pumpUntilDismissed(2);

    const Journal accepted = {"present Loading ...", "list", "profile", "dismiss"};
    Journal twice = accepted;
    twice.insert(twice.end(), accepted.begin(), accepted.end());
    EXPECT_EQ(journal, twice);
    EXPECT_EQ(listedIndexes(), (std::vector<std::int64_t>{0, 1}));
    const auto& listed = engine->source()->projects();
    EXPECT_NE(listed[0].workingFolder.url(), listed[1].workingFolder.url());
    EXPECT_NE(listed[0].orbProject, listed[1].orbProject);
    EXPECT_EQ(listed[0].url, kAlpha);
    const auto& ann = engine->output()->profile()->members.front();
    ASSERT_EQ(ann.sources.size(), 2u);
    EXPECT_EQ(ann.sources[0].project->index, 0);
    EXPECT_EQ(ann.sources[1].project->index, 1);
}

TEST_F(SourceLoadingTest, APackageThatCannotBeOpenedIsReportedAfterTheDismissal) {
    engine->addSourceProject(kAlpha);
    pumpUntilDismissed(1);
    const auto profile = engine->output()->snapshot();
    const int folders = workingFolders();
    const std::size_t before = journal.size();
    const LogCapture log;

    engine->addSourceProject("/drops/broken.orb");
    pumpUntilDismissed(2);

    EXPECT_EQ(journalFrom(before),
              (Journal{"present Loading ...", "dismiss", "failure Loading project failed"}));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines().front().starts_with(
        "[🔴 error] Failed to load project from url: /drops/broken.orb: Not a project package "
        "\t{ "));
    EXPECT_NE(log.lines().front().find(".(_load(projectAt:))."), std::string::npos);
    EXPECT_EQ(listedIndexes(), std::vector<std::int64_t>{0});
    EXPECT_EQ(engine->output()->snapshot(), profile);
    // The folder it was to be opened into goes at once.
    EXPECT_EQ(workingFolders(), folders);
}

TEST_F(SourceLoadingTest, ARejectedSourceReportsItsProblemsOnceAfterTheDismissal) {
    engine->addSourceProject(kAlpha);
    pumpUntilDismissed(1);
    const auto profile = engine->output()->snapshot();
    const int folders = workingFolders();
    const std::size_t before = journal.size();

    engine->addSourceProject(kDollars);
    pumpUntilDismissed(2);

    EXPECT_EQ(journalFrom(before), (Journal{"present Loading ...", "dismiss", "problems"}));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported.front().currency,
              "Currency \"USD\" in this project is not the same as the value (\"EUR\") of other "
              "projects");
    EXPECT_TRUE(reported.front().dialyWorkingHours);
    EXPECT_EQ(listedIndexes(), std::vector<std::int64_t>{0});
    EXPECT_EQ(engine->output()->snapshot(), profile);
    EXPECT_TRUE(workingFoldersBecome(folders)) << "the refused source's folder goes";
}

TEST_F(SourceLoadingTest, ALaterDropSupersedesALoadThatHasNotReported) {
    engine->addSourceProject(kAlpha);
    engine->addSourceProject(kBeta);
    pumpUntilDismissed(1);

    EXPECT_EQ(journal, (Journal{"present Loading ...", "present Loading ...", "list", "profile",
                                "dismiss"}));
    ASSERT_EQ(listedIndexes(), std::vector<std::int64_t>{0});
    EXPECT_EQ(engine->source()->projects().front().url, kBeta);
    EXPECT_EQ(teamShape(*engine->output()->profile()), (TeamShapeOf{{"Cy", 1}}));
    EXPECT_TRUE(workingFoldersBecome(1)) << "the superseded load's folder goes";
}

// The task tree is walked where the package was opened, never on the main thread.
TEST_F(SourceLoadingTest, AListedSourceCarriesItsOutlineMeasuredWhereItWasOpened) {
    documents->add("/drops/deep.orb", [] { return makeProject({.depth = 3, .subProject = true}); });
    engine->addSourceProject("/drops/deep.orb");
    pumpUntilDismissed(1);

    const auto& listed = engine->source()->projects().front();
    ASSERT_TRUE(listed.measuredOutline);
    const CombineSource::Outline measured = CombineSource::Outline::of(*listed.orbProject);
    EXPECT_EQ(listed.measuredOutline->start, measured.start);
    EXPECT_EQ(listed.measuredOutline->finish, measured.finish);
    EXPECT_TRUE(listed.measuredOutline->includeSubProject);
    EXPECT_EQ(listed.measuredOutline->maxOutlineLevel, measured.maxOutlineLevel);
    EXPECT_EQ(engine->output()->profile()->maxOutlineLevel, measured.maxOutlineLevel);
}

TEST_F(SourceLoadingTest, ClearEmptiesTheListAtOnceAndDropsTheProfileOnTheNextTurn) {
    engine->addSourceProject(kAlpha);
    pumpUntilDismissed(1);
    const int folders = workingFolders();

    engine->clearSourceProjects();

    EXPECT_TRUE(engine->source()->projects().empty());
    EXPECT_TRUE(engine->output()->profile());
    platform::dispatch::runUntilIdle();
    EXPECT_FALSE(engine->output()->profile());
    EXPECT_TRUE(workingFoldersBecome(folders - 1)) << "the cleared source's folder goes";
}

// A combine reads the sources' photos from their working folders: "Clear" during a combine
// leaves them until the combine has let go of its snapshot of the list.
TEST_F(SourceLoadingTest, ClearLeavesTheFoldersACombineStillReads) {
    engine->addSourceProject(kAlpha);
    pumpUntilDismissed(1);
    const int folders = workingFolders();
    auto readByACombine = engine->source()->snapshot();

    engine->clearSourceProjects();
    platform::dispatch::runUntilIdle();
    EXPECT_FALSE(engine->output()->profile());
    EXPECT_EQ(workingFolders(), folders);
    EXPECT_TRUE(readByACombine->front().workingFolder.exists());

    readByACombine.reset();
    EXPECT_TRUE(workingFoldersBecome(folders - 1));
}

// A load still in flight goes on, and lands in the emptied list with a profile of its own.
TEST_F(SourceLoadingTest, ALoadInFlightDuringClearStartsAFreshList) {
    engine->addSourceProject(kAlpha);
    pumpUntilDismissed(1);
    engine->output()->setProjectName("Edited");

    engine->addSourceProject(kBeta);
    engine->clearSourceProjects();
    EXPECT_TRUE(engine->source()->projects().empty());
    pumpUntilDismissed(2);

    EXPECT_EQ(listedIndexes(), std::vector<std::int64_t>{0});
    EXPECT_EQ(engine->source()->projects().front().url, kBeta);
    const auto& profile = *engine->output()->profile();
    EXPECT_EQ(profile.name, "Combined Project");
    EXPECT_EQ(teamShape(profile), (TeamShapeOf{{"Cy", 1}}));
    EXPECT_EQ(profile.members.front().sources.front().project->index, 0);
}

// A hundred thousand tasks take long to free: whichever view or job lets go of a source last,
// the project is freed on the background queue.
TEST_F(SourceLoadingTest, ProjectsThatLeaveTheEngineAreFreedOffTheMainThread) {
    const std::string kWatched = "/drops/watched.orb";
    auto freed = std::make_shared<TestLatch>(1);
    auto freeingThread = std::make_shared<std::atomic<std::thread::id>>();
    documents->add(kWatched, [freed, freeingThread] {
        auto project = makeProject({.team = {{"Ann"}}});
        OrbProject* const pointer = project.get();
        return std::shared_ptr<OrbProject>(pointer,
                                           [project, freed, freeingThread](OrbProject*) mutable {
                                               *freeingThread = std::this_thread::get_id();
                                               project.reset();
                                               freed->countDown();
                                           });
    });
    engine->addSourceProject(kWatched);
    pumpUntilDismissed(1);
    engine->addSourceProject(kBeta);
    pumpUntilDismissed(2);
    ASSERT_EQ(listedIndexes(), (std::vector<std::int64_t>{0, 1}));

    engine->clearSourceProjects();
    platform::dispatch::runUntilIdle();
    ASSERT_FALSE(engine->output()->profile());

    ASSERT_TRUE(freed->wait());
    EXPECT_NE(freeingThread->load(), std::this_thread::get_id());
}

}  // namespace
