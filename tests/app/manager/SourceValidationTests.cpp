#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/manager/CombineManager.h"
#include "app/manager/CombineTestSupport.h"

namespace {

using namespace combinetest;
using ValidationResult = CombineSource::ValidationResult;
using Texts = std::vector<std::string>;

// The problems of `next` against the profile of `accepted`; none when it passes.
std::optional<ValidationResult> problemsOf(const std::vector<SourceSettings>& accepted,
                                           const SourceSettings& next) {
    const auto engine = CombineManager::create(AppEvents());
    for (std::size_t index = 0; index < accepted.size(); ++index) {
        engine->output()->refreshOutputProfile(
            makeSource(accepted[index], static_cast<std::int64_t>(index)));
    }
    const auto source = makeSource(next, static_cast<std::int64_t>(accepted.size()));
    const auto result = engine->validateSourceProject(source);
    if (result.isSuccess()) {
        EXPECT_EQ(result.get().orbProject, source.orbProject);
        return std::nullopt;
    }
    const auto error = *result.error();
    EXPECT_EQ(error.kind(), CombineSource::SourceError::Kind::validating);
    return error.problems();
}

TEST(SourceValidationTest, WithoutAProfileEverySourcePasses) {
    EXPECT_EQ(problemsOf({}, {.currency = "USD",
                              .dailyWorkingHours = 4.0f,
                              .onlyWorkingDays = true,
                              .linkType = OrbTaskLinkType::linkingList}),
              std::nullopt);
}

TEST(SourceValidationTest, ListsEachDisagreementInItsOwnWords) {
    // The accepted source runs from Monday 2024-05-06 up to Saturday 2024-05-11 (excluded).
    const Date wednesday = local(2024, 5, 8);
    const Date saturday = local(2024, 5, 11);
    struct Case {
        const char* name;
        std::vector<SourceSettings> accepted;
        SourceSettings next;
        std::optional<ValidationResult> expected;
    };
    const std::vector<Case> cases = {
        {"the same settings pass", {{.team = {{"Ann", 2.0f}}}}, {.team = {{"Ann", 2.0f}}}, {}},
        {"a currency differing in case passes", {{.currency = "EUR"}}, {.currency = "eur"}, {}},
        {"a currency differing by a space fails",
         {{.currency = "EUR"}},
         {.currency = "EUR "},
         ValidationResult{.currency = "Currency \"EUR \" in this project is not the same as the "
                                      "value (\"EUR\") of other projects"}},
        {"hours within the tolerance pass",
         {{.dailyWorkingHours = 1.0f}},
         {.dailyWorkingHours = 0.99f},
         {}},
        {"hours just beyond it fail",
         {{.dailyWorkingHours = 8.0f}},
         {.dailyWorkingHours = 7.99f},
         ValidationResult{.dialyWorkingHours = "Dialy working hours of this project is \"7.99\", "
                                               "which is not the same as the value (\"8.0\") of "
                                               "other projects"}},
        {"hours are written shortest, whole ones with a zero",
         {{.dailyWorkingHours = 8.0f}},
         {.dailyWorkingHours = 7.5f},
         ValidationResult{.dialyWorkingHours = "Dialy working hours of this project is \"7.5\", "
                                               "which is not the same as the value (\"8.0\") of "
                                               "other projects"}},
        {"a member is found by trimmed name, case ignored, and quoted as stored",
         {{.team = {{"Ann", 1.0f}}}},
         {.team = {{"  ann\t", 2.0f}, {"Newcomer", 9.0f}}},
         ValidationResult{.resources = Texts{"Member \"  ann\t\" - the cost rate \"2.0\" in this "
                                             "project is not the same as the value (\"1.0\") of "
                                             "other projects"}}},
        {"only the first profile entry of a name and its first member count",
         {{.team = {{"Ann", 1.0f}, {"ann", 3.0f}}}, {.team = {{"ANN", 3.0f}}}},
         {.team = {{"Ann", 3.0f}}},
         ValidationResult{.resources = Texts{"Member \"Ann\" - the cost rate \"3.0\" in this "
                                             "project is not the same as the value (\"1.0\") of "
                                             "other projects"}}},
        {"a blank name is never compared",
         {{.team = {{" ", 1.0f}}}},
         {.team = {{" \t", 5.0f}}},
         {}},
        {"rates within the tolerance pass",
         {{.team = {{"Ann", 1.0f}}}},
         {.team = {{"Ann", 1.005f}}},
         {}},
        {"exception days of either side inside the other's range, the own ones first",
         {{.exceptionDays = {wednesday, local(2024, 5, 20)}}},
         {.exceptionDays = {local(2024, 5, 1), saturday, local(2024, 5, 7, 15)},
          .start = local(2024, 4, 29),
          .finish = local(2024, 5, 25)},
         ValidationResult{
             .calendars =
                 Texts{
                     "\"May 11, 2024\" is a working day in this project, which is not "
                     "the same as in other projects",
                     "\"May 7, 2024\" is a non-working day in this project, which is not "
                     "the same as in other projects",
                     "\"May 8, 2024\" is a working day, which is not the same as in "
                     "other projects",
                     "\"May 20, 2024\" is a working day, which is not the same as in "
                     "other projects",
                 }}},
        {"exception days on the same day agree, whatever their time",
         {{.exceptionDays = {wednesday}}},
         {.exceptionDays = {local(2024, 5, 8, 12)}},
         {}},
        {"a profile day on the new root's finish is compared",
         {{.exceptionDays = {saturday}, .start = local(2024, 5, 6), .finish = local(2024, 5, 13)}},
         {.finish = saturday},
         ValidationResult{.calendars = Texts{"\"May 11, 2024\" is a non-working day, which is not "
                                             "the same as in other projects"}}},
        {"only working days here, all days there",
         {{.onlyWorkingDays = false}},
         {.onlyWorkingDays = true},
         ValidationResult{.datePolicy = "This project only allows to schedule task at working "
                                        "days, other projects allow to schedule task at all the "
                                        "days"}},
        {"all days here, only working days there",
         {{.onlyWorkingDays = true}},
         {.onlyWorkingDays = false},
         ValidationResult{.datePolicy = "This project allows to schedule task at all the days, "
                                        "other projects only allow to schedule task at working "
                                        "days"}},
        {"another link type",
         {{.linkType = OrbTaskLinkType::finishToStart}},
         {.linkType = OrbTaskLinkType::linkingList},
         ValidationResult{
             .linkType =
                 "The task link type in this project is not the same as of other projects"}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(problemsOf(row.accepted, row.next), row.expected);
    }
}

TEST(SourceValidationTest, EveryCheckRunsSoAllProblemsComeAtOnce) {
    const auto problems =
        problemsOf({{.team = {{"Ann", 1.0f}, {"Bo", 1.0f}}, .exceptionDays = {local(2024, 5, 8)}}},
                   {.currency = "USD",
                    .dailyWorkingHours = 6.0f,
                    .team = {{"bo", 2.5f}, {"ANN", 0.5f}},
                    .onlyWorkingDays = true,
                    .linkType = OrbTaskLinkType::linkingList});

    ASSERT_TRUE(problems);
    EXPECT_TRUE(problems->currency);
    EXPECT_TRUE(problems->dialyWorkingHours);
    EXPECT_EQ(problems->resources,
              (Texts{"Member \"bo\" - the cost rate \"2.5\" in this project is not the same as "
                     "the value (\"1.0\") of other projects",
                     "Member \"ANN\" - the cost rate \"0.5\" in this project is not the same as "
                     "the value (\"1.0\") of other projects"}));
    EXPECT_EQ(problems->calendars->size(), 1u);
    EXPECT_TRUE(problems->datePolicy);
    EXPECT_TRUE(problems->linkType);
}

}  // namespace
