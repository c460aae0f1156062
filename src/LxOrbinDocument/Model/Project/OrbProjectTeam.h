#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "utility/LxGCDLocker.h"

// A project's members in insertion order, and the seed for new member ids.
//
// Requires: members handed to the team are not null.
// Nothing checks that ids, names or e-mail addresses are unique. Where several members share an
// id, look-ups answer the last of them and `remove` takes the first.
//
// Shared, made by `create()`, never copied (`clone()` copies the members into a new team). Any
// thread may call any operation: each takes the team's lock ("project.team") once and calls
// nothing locked from inside it, so no operation may be called from a body that holds it.
//
// Example:
//   auto team = OrbProjectTeam::create();
//   auto kato = team->add("Kato Vey");            // id 1
//   auto found = team->findMember(kato->id());    // the same member
class OrbProjectTeam {
public:
    static std::shared_ptr<OrbProjectTeam> create();

    OrbProjectTeam(const OrbProjectTeam&) = delete;
    OrbProjectTeam& operator=(const OrbProjectTeam&) = delete;

    // Both make `members` the team, the same objects in their order, and set the id seed to the
    // largest id + 1 (1 for none).
    void initByMembers(const std::vector<std::shared_ptr<OrbProjectMember>>& OrbProjectMembers);
    void replaceMembers(const std::vector<std::shared_ptr<OrbProjectMember>>& members);

    // The members in order (the same objects).
    std::vector<std::shared_ptr<OrbProjectMember>> members() const;
    void readMembers(std::vector<std::shared_ptr<OrbProjectMember>>& into) const;

    // The last member with that id; null when there is none. A map look-up, cheap in loops.
    std::shared_ptr<OrbProjectMember> get(std::int64_t memberId) const;
    std::shared_ptr<OrbProjectMember> findMember(std::int64_t memberId) const;

    // Appends a new member whose id is the seed, and raises the seed by one.
    std::shared_ptr<OrbProjectMember> add(std::string name,
                                          std::optional<std::string> photoId = std::nullopt,
                                          std::optional<std::string> email = std::nullopt,
                                          std::optional<float> costRate = std::nullopt);

    // Appends `projectMember` itself, even when its id is present, then sets the seed from the
    // ids; answers `projectMember`.
    std::shared_ptr<OrbProjectMember> add(std::shared_ptr<OrbProjectMember> projectMember);

    // Removes every member; the seed becomes 1.
    void clear();

    // Removes the first member with that id, if any, then sets the seed from the ids.
    void remove(std::int64_t memberId);

    // Whether a member's name (an e-mail present on a member) is the given text; case and
    // spaces count, canonically equivalent texts are the same.
    bool isMemberNameExist(std::string_view memberName) const;
    bool isMemberEmailExist(std::string_view memberEmail) const;

    std::int64_t count() const;

    // The id the next `add(name, ...)` gives.
    std::int64_t idseed() const;

    // Sets the seed to the largest id + 1, or 1 when there are no members.
    void updateIdSeed();

    // A new team of `clone()` copies of the members, in order.
    std::shared_ptr<OrbProjectTeam> clone() const;

private:
    OrbProjectTeam() = default;

    // Everything below runs inside `_lock` and never takes it.
    void install(const std::vector<std::shared_ptr<OrbProjectMember>>& members);
    void reindex(std::int64_t memberId);
    void updateIdSeedUnlocked();

    std::vector<std::shared_ptr<OrbProjectMember>> _members;
    // The last member of each id, kept in step with `_members`.
    std::unordered_map<std::int64_t, std::shared_ptr<OrbProjectMember>> lastMemberById_;
    const LxGCDLocker _lock{"project.team"};
    std::int64_t _idseed = 1;
};
