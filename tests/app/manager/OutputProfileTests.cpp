#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/manager/CombineOutput.h"
#include "app/manager/CombineTestSupport.h"
#include "platform/reactive/AnyCancellable.h"
#include "utility/DateExtensions.h"
#include "utility/StringExtensions.h"

namespace {

using namespace combinetest;
using Layout = CombineOutput::SourceProjectLayoutOption;
using Profile = CombineOutput::Profile;
using TeamShape = std::vector<std::pair<std::string, std::size_t>>;

TEST(OutputProfileTest, TheFirstSourceGivesTheHeaderTeamCalendarAndRange) {
    SourceSettings settings{.currency = "NOK",
                            .dailyWorkingHours = 7.5f,
                            .team = {{" Ann\t", 2.0f}, {"Bob", 1.0f}},
                            .exceptionDays = {local(2024, 5, 9, 10), local(2024, 5, 8)},
                            .onlyWorkingDays = true,
                            .linkType = OrbTaskLinkType::linkingList,
                            .depth = 2,
                            .subProject = true};
    auto source = makeSource(settings, 3);
    source.orbProject->setDisplayCurrencyAtBegin(true);
    source.orbProject->setDefaultCostRate(4.5f);

    const Profile profile = Profile::makeOutputProfile(source);

    EXPECT_EQ(profile.name, "Combined Project");
    EXPECT_EQ(profile.currency, "NOK");
    EXPECT_TRUE(profile.displayCurrencyAtBegining);
    EXPECT_EQ(profile.dailyWorkingHours, 7.5f);
    EXPECT_EQ(profile.defaultChargeRate, 4.5f);
    EXPECT_EQ(teamShape(profile), (TeamShape{{"Ann", 1}, {"Bob", 1}}));
    const auto& ann = profile.members.front().sources.front();
    EXPECT_EQ(ann.member, source.orbProject->team()->members().front());
    EXPECT_EQ(ann.project->index, 3);
    EXPECT_EQ(ann.project->orbProject, source.orbProject);
    EXPECT_EQ(profile.calendarExceptions,
              (std::vector<Date>{local(2024, 5, 9, 10), local(2024, 5, 8)}));
    EXPECT_TRUE(profile.onlyScheduleTasksAtWorkingDays);
    EXPECT_EQ(profile.taskLinkType, OrbTaskLinkType::linkingList);
    EXPECT_EQ(profile.start, local(2024, 5, 6));
    EXPECT_EQ(profile.finish, local(2024, 5, 11));
    EXPECT_TRUE(profile.includeSubProject);
    EXPECT_EQ(profile.maxOutlineLevel, 2);
}

TEST(OutputProfileTest, TheFirstLayoutIsGroupBelowFourLevelsElseDirect) {
    struct Case {
        std::int64_t depth;
        bool subProject;
        std::int64_t level;
        Layout layout;
    };
    const std::vector<Case> cases = {
        {0, false, 0, Layout::group},
        {3, false, 3, Layout::group},
        {4, false, 4, Layout::direct},
        {6, false, 6, Layout::direct},
        // A sub-project's tree is not counted: the root stands one level above it.
        {0, true, 1, Layout::group},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << row.depth << " sub " << row.subProject);
        const Profile profile = profileOf({{.depth = row.depth, .subProject = row.subProject}});
        EXPECT_EQ(profile.maxOutlineLevel, row.level);
        EXPECT_EQ(profile.sourceProjectLayoutOption, row.layout);
    }
}

TEST(OutputProfileTest, LaterMembersJoinTheFirstEntryOfTheirTrimmedNameCaseIgnored) {
    struct Case {
        const char* name;
        std::vector<std::vector<std::string>> teams;
        TeamShape expected;
    };
    const std::vector<Case> cases = {
        {"the first source's equal names stay apart; a later one joins the first",
         {{"Ann", "ann "}, {"ANN"}},
         {{"Ann", 2}, {"ann", 1}}},
        {"members arriving while the profile has none stay apart",
         {{}, {"Bob", "bob"}},
         {{"Bob", 1}, {"bob", 1}}},
        {"once there are members, one source's equal names become one entry",
         {{"Al"}, {"Cy", "cy"}},
         {{"Al", 1}, {"Cy", 2}}},
        {"the entry keeps the name it was made with", {{"ann"}, {"\tANN "}}, {{"ann", 2}}},
        {"blank names never join", {{"  "}, {"", " \t"}}, {{"", 1}, {"", 1}, {"", 1}}},
        {"line breaks are part of the name", {{"Ann\n"}, {"Ann"}}, {{"Ann\n", 1}, {"Ann", 1}}},
        {"a source without members changes nothing", {{"Al"}, {}}, {{"Al", 1}}},
        {"case is folded the Unicode way",
         {{"J\u00fcrgen", "Stra\u00dfe"}, {"JU\u0308RGEN", "STRASSE", "\u212aim"}},
         {{"J\u00fcrgen", 2}, {"Stra\u00dfe", 2}, {"\u212aim", 1}}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        std::vector<SourceSettings> settingsList;
        for (const auto& names : row.teams) {
            SourceSettings settings;
            for (const auto& name : names) {
                settings.team.push_back({name, 1.0f});
            }
            settingsList.push_back(settings);
        }
        EXPECT_EQ(teamShape(profileOf(settingsList)), row.expected);
    }
}

// The rule as first written: every later member walks the whole list of entries.
std::vector<std::pair<std::string, std::vector<std::shared_ptr<OrbProjectMember>>>>
mergedByComparingEveryPair(const std::vector<CombineSource::Project>& sources) {
    std::vector<std::pair<std::string, std::vector<std::shared_ptr<OrbProjectMember>>>> entries;
    for (const auto& source : sources) {
        const bool mergeable = !entries.empty();
        for (const auto& member : source.orbProject->team()->members()) {
            const std::string name = lx::trimmed(member->name());
            auto joined = entries.end();
            for (auto entry = entries.begin(); mergeable && !name.empty() && entry != entries.end();
                 ++entry) {
                if (lx::isCaseInsensitiveSame(entry->first, name)) {
                    joined = entry;
                    break;
                }
            }
            if (joined == entries.end()) {
                entries.push_back({name, {member}});
            } else {
                joined->second.push_back(member);
            }
        }
    }
    return entries;
}

TEST(OutputProfileTest, MergingJoinsTheSameEntriesAsComparingEveryPair) {
    // Names that match one another only by Unicode's caseless rules, blanks and near misses.
    const std::vector<std::string> names = {"Ann",
                                            " ann\t",
                                            "ANN",
                                            "Ann\n",
                                            "J\u00fcrgen",
                                            "JU\u0308RGEN",
                                            "\u212aim",
                                            "kim",
                                            "Stra\u00dfe",
                                            "STRASSE",
                                            "",
                                            "  ",
                                            "\u00c5sa",
                                            "A\u030asa ",
                                            "Bob",
                                            "bobby",
                                            "\u03a3\u039f\u03a3",
                                            "\u03c3\u03bf\u03c2"};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::vector<CombineSource::Project> sources;
        for (std::int64_t index = 0; index < 5; ++index) {
            SourceSettings settings;
            const auto size = random() % 9;
            for (std::size_t member = 0; member < size; ++member) {
                settings.team.push_back({names[random() % names.size()], 1.0f});
            }
            sources.push_back(makeSource(settings, index));
        }
        Profile profile = Profile::makeOutputProfile(sources.front());
        for (std::size_t index = 1; index < sources.size(); ++index) {
            profile = profile.merged(sources[index]);
        }

        std::vector<std::pair<std::string, std::vector<std::shared_ptr<OrbProjectMember>>>> merged;
        for (const auto& entry : profile.members) {
            merged.push_back({entry.name, {}});
            for (const auto& source : entry.sources) {
                merged.back().second.push_back(source.member);
            }
        }
        EXPECT_EQ(merged, mergedByComparingEveryPair(sources));
    }
}

// A loaded source comes with its outline measured where it was opened; a record without one
// is measured when merged.
TEST(OutputProfileTest, TheRangeAndDepthComeFromTheSourcesOutline) {
    auto first = makeSource({.depth = 2}, 0);
    auto second = makeSource({.depth = 1}, 1);
    EXPECT_EQ(second.outline().maxOutlineLevel, 1);
    EXPECT_FALSE(second.outline().includeSubProject);
    second.measuredOutline = std::make_shared<const CombineSource::Outline>(
        CombineSource::Outline{local(2024, 1, 2), local(2024, 12, 30), true, 5});

    const Profile profile = Profile::makeOutputProfile(first).merged(second);

    EXPECT_EQ(profile.start, local(2024, 1, 2));
    EXPECT_EQ(profile.finish, local(2024, 12, 30));
    EXPECT_TRUE(profile.includeSubProject);
    EXPECT_EQ(profile.maxOutlineLevel, 5);
}

TEST(OutputProfileTest, AJoinedEntryListsEachSourceWithItsOwnMember) {
    const auto first = makeSource({.team = {{"Ann"}}}, 0);
    const auto second = makeSource({.team = {{"Bo"}, {"ann"}}}, 1);

    const Profile profile = Profile::makeOutputProfile(first).merged(second);

    ASSERT_EQ(teamShape(profile), (TeamShape{{"Ann", 2}, {"Bo", 1}}));
    const auto& sources = profile.members.front().sources;
    EXPECT_EQ(sources[0].project->index, 0);
    EXPECT_EQ(sources[0].member, first.orbProject->team()->members()[0]);
    EXPECT_EQ(sources[1].project->index, 1);
    EXPECT_EQ(sources[1].member, second.orbProject->team()->members()[1]);
    // One record per source, shared by its entries.
    EXPECT_EQ(profile.members[1].sources.front().project, sources[1].project);
    EXPECT_NE(sources[0].project, sources[1].project);
}

TEST(OutputProfileTest, ExceptionDaysOutsideTheEarlierRangeWhoseDayIsNewAreAppended) {
    // The first source runs from Monday 2024-05-06 up to Saturday 2024-05-11 (excluded).
    struct Case {
        const char* name;
        std::vector<Date> profileDays;
        SourceSettings next;
        std::vector<Date> expected;
    };
    const Date wednesday = local(2024, 5, 8);
    const std::vector<Case> cases = {
        {"a day inside the range is left to the validation",
         {wednesday},
         {.exceptionDays = {local(2024, 5, 9, 10)}},
         {wednesday}},
        {"the first and the finish day count as inside",
         {wednesday},
         {.exceptionDays = {local(2024, 5, 6, 9), local(2024, 5, 11, 10)}},
         {wednesday}},
        {"days outside are appended as stored, unsorted",
         {wednesday},
         {.exceptionDays = {local(2024, 5, 20, 10), local(2024, 5, 1)},
          .start = local(2024, 4, 29),
          .finish = local(2024, 5, 25)},
         {wednesday, local(2024, 5, 20, 10), local(2024, 5, 1)}},
        {"the range before the merge decides, not the widened one",
         {wednesday},
         {.exceptionDays = {local(2024, 5, 15)},
          .start = local(2024, 5, 13),
          .finish = local(2024, 5, 25)},
         {wednesday, local(2024, 5, 15)}},
        {"a profile without days takes all, also those inside its range",
         {},
         {.exceptionDays = {wednesday, local(2024, 5, 20)}},
         {wednesday, local(2024, 5, 20)}},
        {"a day the profile has already is not added again",
         {wednesday, local(2024, 5, 20)},
         {.exceptionDays = {local(2024, 5, 20, 12)}},
         {wednesday, local(2024, 5, 20)}},
        {"two days of the source on one day are both appended",
         {wednesday},
         {.exceptionDays = {local(2024, 5, 20, 8), local(2024, 5, 20, 12)}},
         {wednesday, local(2024, 5, 20, 8), local(2024, 5, 20, 12)}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const Profile profile = profileOf({{.exceptionDays = row.profileDays}, row.next});
        EXPECT_EQ(profile.calendarExceptions, row.expected);
    }
}

TEST(OutputProfileTest, MergingWidensTheRangeAndDepthAndKeepsTheFirstHeader) {
    const Profile profile = profileOf({
        {.currency = "EUR", .dailyWorkingHours = 8.0f, .depth = 2, .subProject = true},
        {.currency = "eur",
         .dailyWorkingHours = 6.0f,
         .onlyWorkingDays = true,
         .linkType = OrbTaskLinkType::linkingList,
         .start = local(2024, 5, 1),
         .finish = local(2024, 5, 8),
         .depth = 3},
        {.start = local(2024, 5, 9), .finish = local(2024, 6, 1), .depth = 1},
    });

    EXPECT_EQ(profile.start, local(2024, 5, 1));
    EXPECT_EQ(profile.finish, local(2024, 6, 1));
    EXPECT_EQ(profile.maxOutlineLevel, 3);
    EXPECT_TRUE(profile.includeSubProject);
    EXPECT_EQ(profile.name, "Combined Project");
    EXPECT_EQ(profile.currency, "EUR");
    EXPECT_EQ(profile.dailyWorkingHours, 8.0f);
    EXPECT_FALSE(profile.onlyScheduleTasksAtWorkingDays);
    EXPECT_EQ(profile.taskLinkType, OrbTaskLinkType::finishToStart);
}

TEST(OutputProfileTest, MergingCorrectsALayoutTheSourcesNoLongerAllow) {
    struct Case {
        const char* name;
        Layout before;
        SourceSettings next;
        Layout after;
    };
    const std::vector<Case> cases = {
        {"a sub-project cannot go into a sub-project task",
         Layout::subProject,
         {.subProject = true},
         Layout::group},
        {"the sub-project rule wins over a deep outline",
         Layout::subProject,
         {.depth = 5, .subProject = true},
         Layout::group},
        {"a deep outline does not fit one group task", Layout::group, {.depth = 4}, Layout::direct},
        {"a shallow outline keeps the group", Layout::group, {.depth = 3}, Layout::group},
        {"a deep outline alone keeps the sub-project layout",
         Layout::subProject,
         {.depth = 4},
         Layout::subProject},
        {"direct stays direct", Layout::direct, {.depth = 5, .subProject = true}, Layout::direct},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Profile profile = profileOf({{}});
        profile.sourceProjectLayoutOption = row.before;
        EXPECT_EQ(profile.merged(makeSource(row.next, 1)).sourceProjectLayoutOption, row.after);
    }
}

// Counts the notifications of an output and what the profile held when each arrived.
class OutputWatch {
public:
    explicit OutputWatch(const CombineOutput& output)
        : willChange_(output.objectWillChange().sink([this](const auto&) { ++willChange; })),
          values_(output.profilePublisher().sink([this, &output](const auto& profile) {
              heard.push_back(profile ? profile->name : "<none>");
              sameAsStored.push_back(output.projectName() == (profile ? profile->name : ""));
          })) {}

    int willChange = 0;
    // The first entry is the value at subscription.
    std::vector<std::string> heard;
    std::vector<bool> sameAsStored;

private:
    platform::reactive::AnyCancellable willChange_;
    platform::reactive::AnyCancellable values_;
};

TEST(CombineOutputTest, EditsWithoutAProfileChangeNothingButStillNotify) {
    const auto output = CombineOutput::create();
    OutputWatch watch(*output);

    output->setProjectName("Roll-out");
    output->setSourceProjectLayoutOption(Layout::subProject);

    EXPECT_FALSE(output->profile());
    EXPECT_EQ(output->projectName(), "");
    EXPECT_EQ(output->sourceProjectLayoutOption(), Layout::direct);
    EXPECT_EQ(watch.willChange, 2);
    EXPECT_EQ(watch.heard, (std::vector<std::string>{"<none>", "<none>", "<none>"}));
    EXPECT_EQ(output->snapshot(), nullptr);
}

TEST(CombineOutputTest, EachAcceptedSourceIsOneAssignmentAndEditsSurviveMerges) {
    const auto output = CombineOutput::create();
    OutputWatch watch(*output);

    output->refreshOutputProfile(makeSource({.team = {{"Ann"}}}, 0));
    output->setProjectName("  Roll-out ");
    output->setSourceProjectLayoutOption(Layout::subProject);
    output->refreshOutputProfile(makeSource({.team = {{"ann"}}}, 1));

    EXPECT_EQ(output->projectName(), "  Roll-out ");
    EXPECT_EQ(output->sourceProjectLayoutOption(), Layout::subProject);
    EXPECT_EQ(teamShape(*output->profile()), (TeamShape{{"Ann", 2}}));
    EXPECT_EQ(watch.willChange, 4);
    EXPECT_EQ(watch.heard.size(), 5u);
    EXPECT_EQ(watch.sameAsStored, std::vector<bool>(5, true));
}

TEST(CombineOutputTest, AfterTheProfileIsDroppedTheNextSourceMakesAFreshOne) {
    const auto output = CombineOutput::create();
    output->refreshOutputProfile(makeSource({.team = {{"Ann"}}}, 0));
    output->setProjectName("Roll-out");

    output->setProfile(std::nullopt);
    output->refreshOutputProfile(makeSource({.team = {{"Bo"}}}, 0));

    EXPECT_EQ(output->projectName(), "Combined Project");
    EXPECT_EQ(teamShape(*output->profile()), (TeamShape{{"Bo", 1}}));
}

TEST(CombineOutputTest, ASnapshotKeepsTheProfileItWasTakenFrom) {
    const auto output = CombineOutput::create();
    output->refreshOutputProfile(makeSource({}, 0));
    const auto before = output->snapshot();

    output->setProjectName("Roll-out");
    output->setProfile(std::nullopt);

    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->name, "Combined Project");
    EXPECT_EQ(output->snapshot(), nullptr);
}

// The holder, the watchers and the snapshot share one profile per assignment, and a merge or
// an edit is a new profile: whoever keeps an earlier one keeps what it held.
TEST(CombineOutputTest, AnAssignedProfileIsSharedAndNeverChangedAfterwards) {
    const auto output = CombineOutput::create();
    std::vector<CombineOutput::SharedProfile> received;
    const platform::reactive::AnyCancellable watching = output->profilePublisher().sink(
        [&received](const CombineOutput::SharedProfile& profile) { received.push_back(profile); });

    output->refreshOutputProfile(makeSource({.team = {{"Ann"}}}, 0));
    const CombineOutput::SharedProfile first = output->profile();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(output->snapshot(), first);
    EXPECT_EQ(received.back(), first);

    output->refreshOutputProfile(makeSource({.team = {{"ann"}, {"Bo"}}}, 1));
    const CombineOutput::SharedProfile merged = output->profile();
    output->setProjectName("Roll-out");

    EXPECT_EQ(first->name, "Combined Project");
    EXPECT_EQ(teamShape(*first), (TeamShape{{"Ann", 1}}));
    EXPECT_EQ(merged->name, "Combined Project");
    EXPECT_EQ(teamShape(*merged), (TeamShape{{"Ann", 2}, {"Bo", 1}}));
    EXPECT_EQ(output->snapshot(), output->profile());
    EXPECT_EQ(received.back(), output->profile());
    EXPECT_EQ(output->profile()->name, "Roll-out");
    EXPECT_EQ(teamShape(*output->profile()), (TeamShape{{"Ann", 2}, {"Bo", 1}}));
}

}  // namespace
