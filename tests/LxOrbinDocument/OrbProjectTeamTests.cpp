#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "utility/SequenceExtensions.h"

namespace {

using MemberPtr = std::shared_ptr<OrbProjectMember>;

std::vector<std::int64_t> idsOf(const OrbProjectTeam& team) {
    return lx::map(team.members(), [](const MemberPtr& member) { return member->id(); });
}

TEST(OrbProjectMember, InitialsAreTheLowerCasedFirstCharactersOfTheWords) {
    struct Case {
        std::string name;
        std::string initials;
    };
    const Case cases[] = {
        {"Kato Vey", "kv"},
        {"  Kato   Vey ", "kv"},
        {"\u00c9LAN", "\u00e9"},
        {"E\u0301lan Vey", "e\u0301v"},  // the accent is part of the first character
        {"Kato\tVey", "k"},              // only spaces separate words
        {"", ""},
        {"   ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto member = OrbProjectMember::create(1, c.name);
        EXPECT_EQ(member->name(), c.name);
        EXPECT_EQ(member->initialsName(), c.initials);
    }
    const auto renamed = OrbProjectMember::create(1, "Kato Vey");
    renamed->setName("Ada Lovelace");
    EXPECT_EQ(renamed->initialsName(), "al");
    renamed->updateName("Grace");
    EXPECT_EQ(renamed->initialsName(), "g");
}

TEST(OrbProjectMember, CostRateDefaultsToOneAndTheSetterRefusesNegatives) {
    const auto plain = OrbProjectMember::create(3, "X");
    EXPECT_EQ(plain->costRate(), 1.0f);
    EXPECT_EQ(plain->photoid(), std::nullopt);
    EXPECT_EQ(plain->email(), std::nullopt);

    const auto negative = OrbProjectMember::create(3, "X", "p7", "x@example.org", -2.0f);
    EXPECT_EQ(negative->costRate(), -2.0f);
    negative->setCostRate(-2.0f);
    EXPECT_EQ(negative->costRate(), 0.0f);
    negative->setCostRate(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(negative->costRate(), 0.0f);
    negative->setCostRate(12.5f);
    EXPECT_EQ(negative->costRate(), 12.5f);
}

TEST(OrbProjectMember, CloneIsAnIndependentMemberWithTheSameValues) {
    const auto member = OrbProjectMember::create(4, "Kato Vey", "p4", "k@example.org", -1.0f);
    const auto copy = member->clone();
    EXPECT_NE(copy, member);
    EXPECT_EQ(copy->id(), 4);
    EXPECT_EQ(copy->name(), "Kato Vey");
    EXPECT_EQ(copy->initialsName(), "kv");
    EXPECT_EQ(copy->photoid(), "p4");
    EXPECT_EQ(copy->email(), "k@example.org");
    EXPECT_EQ(copy->costRate(), -1.0f);
    copy->setName("Ada");
    EXPECT_EQ(member->name(), "Kato Vey");
}

TEST(OrbProjectTeam, IdSeedFollowsTheMembers) {
    const auto team = OrbProjectTeam::create();
    EXPECT_EQ(team->count(), 0);
    EXPECT_EQ(team->add("Ada")->id(), 1);
    EXPECT_EQ(team->add("Grace", "p2", "g@example.org", 3.0f)->id(), 2);
    EXPECT_EQ(team->idseed(), 3);

    team->initByMembers({OrbProjectMember::create(4, "A"), OrbProjectMember::create(9, "B")});
    EXPECT_EQ(idsOf(*team), (std::vector<std::int64_t>{4, 9}));
    EXPECT_EQ(team->idseed(), 10);
    team->remove(9);
    EXPECT_EQ(team->idseed(), 5);
    team->remove(42);
    EXPECT_EQ(idsOf(*team), (std::vector<std::int64_t>{4}));
    team->clear();
    EXPECT_EQ(team->count(), 0);
    EXPECT_EQ(team->idseed(), 1);

    // Adding a member object sets the seed from the ids.
    const auto two = OrbProjectMember::create(2, "Two");
    EXPECT_EQ(team->add(two), two);
    EXPECT_EQ(team->idseed(), 3);
    team->initByMembers({OrbProjectMember::create(7, "Seven")});
    team->add(OrbProjectMember::create(2, "Two"));
    EXPECT_EQ(team->idseed(), 8);
}

TEST(OrbProjectTeam, SeedHoldsAtTheLargestId) {
    constexpr auto kLargest = std::numeric_limits<std::int64_t>::max();
    const auto team = OrbProjectTeam::create();
    team->replaceMembers({OrbProjectMember::create(kLargest, "Last")});
    EXPECT_EQ(team->idseed(), kLargest);
    EXPECT_EQ(team->add("Next")->id(), kLargest);
    EXPECT_EQ(team->idseed(), kLargest);
}

TEST(OrbProjectTeam, LookupsAnswerTheLastOfAnIdAndRemoveTakesTheFirst) {
    const auto team = OrbProjectTeam::create();
    const auto earlier = OrbProjectMember::create(5, "Earlier");
    const auto later = OrbProjectMember::create(5, "Later");
    const auto other = OrbProjectMember::create(6, "Other");
    team->replaceMembers({earlier, other, later});

    EXPECT_EQ(team->get(5), later);
    EXPECT_EQ(team->findMember(5), later);
    EXPECT_EQ(team->findMember(6), other);
    EXPECT_EQ(team->findMember(7), nullptr);

    team->remove(5);
    EXPECT_EQ(team->members(), (std::vector<MemberPtr>{other, later}));
    EXPECT_EQ(team->findMember(5), later);
    team->remove(5);
    EXPECT_EQ(team->findMember(5), nullptr);

    // A member object added twice stays found after one of its entries is removed.
    team->add(other);
    team->remove(6);
    EXPECT_EQ(team->findMember(6), other);
    EXPECT_EQ(team->count(), 1);

    const auto added = team->add(OrbProjectMember::create(6, "Newer"));
    EXPECT_EQ(team->findMember(6), added);
}

TEST(OrbProjectTeam, MembersAreTheSameObjectsInTheirOrder) {
    const auto team = OrbProjectTeam::create();
    const std::vector<MemberPtr> given{OrbProjectMember::create(3, "C"),
                                       OrbProjectMember::create(1, "A")};
    team->initByMembers(given);
    EXPECT_EQ(team->members(), given);
    std::vector<MemberPtr> read{OrbProjectMember::create(8, "stale")};
    team->readMembers(read);
    EXPECT_EQ(read, given);
}

TEST(OrbProjectTeam, NameAndEmailLookupsAreExact) {
    const auto team = OrbProjectTeam::create();
    EXPECT_FALSE(team->isMemberNameExist(""));
    EXPECT_FALSE(team->isMemberEmailExist(""));

    team->add("Kato Vey", std::nullopt, "kato@example.org");
    team->add("Ren\u00e9");
    EXPECT_TRUE(team->isMemberNameExist("Kato Vey"));
    EXPECT_FALSE(team->isMemberNameExist("kato vey"));
    EXPECT_FALSE(team->isMemberNameExist("Kato Vey "));
    EXPECT_TRUE(team->isMemberNameExist("Rene\u0301"));
    EXPECT_TRUE(team->isMemberEmailExist("kato@example.org"));
    EXPECT_FALSE(team->isMemberEmailExist("KATO@example.org"));
    EXPECT_FALSE(team->isMemberEmailExist(""));

    team->add("Nobody", std::nullopt, "");
    EXPECT_TRUE(team->isMemberEmailExist(""));
}

TEST(OrbProjectTeam, CloneCopiesTheMembersIntoANewTeam) {
    const auto team = OrbProjectTeam::create();
    team->initByMembers({OrbProjectMember::create(4, "A", "p", "a@example.org", 2.5f),
                         OrbProjectMember::create(9, "B")});
    const auto copy = team->clone();
    EXPECT_EQ(idsOf(*copy), (std::vector<std::int64_t>{4, 9}));
    EXPECT_EQ(copy->idseed(), 10);
    EXPECT_NE(copy->findMember(4), team->findMember(4));
    EXPECT_EQ(copy->findMember(4)->costRate(), 2.5f);

    copy->remove(4);
    EXPECT_EQ(team->count(), 2);
    EXPECT_EQ(OrbProjectTeam::create()->clone()->count(), 0);
}

TEST(OrbProjectTeam, MembersAddedFromManyThreadsGetDistinctIds) {
    const auto team = OrbProjectTeam::create();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&team] {
            for (int i = 0; i < 250; ++i) {
                team->add("member");
                team->findMember(i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto ids = idsOf(*team);
    EXPECT_EQ(std::set<std::int64_t>(ids.begin(), ids.end()).size(), 1000u);
    EXPECT_EQ(team->idseed(), 1001);
}

}  // namespace
