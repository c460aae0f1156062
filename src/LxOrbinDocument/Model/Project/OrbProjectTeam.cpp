#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"

#include "platform/foundation/UnicodeText.h"
#include "utility/CollectionExtensions.h"
#include "utility/NumberConversions.h"
#include "utility/SequenceExtensions.h"

using MemberPtr = std::shared_ptr<OrbProjectMember>;

std::shared_ptr<OrbProjectTeam> OrbProjectTeam::create() {
    return std::shared_ptr<OrbProjectTeam>(new OrbProjectTeam());
}

void OrbProjectTeam::initByMembers(const std::vector<MemberPtr>& OrbProjectMembers) {
    replaceMembers(OrbProjectMembers);
}

void OrbProjectTeam::replaceMembers(const std::vector<MemberPtr>& members) {
    _lock.sync([this, &members] { install(members); });
}

std::vector<MemberPtr> OrbProjectTeam::members() const {
    return _lock.sync([this] { return _members; });
}

void OrbProjectTeam::readMembers(std::vector<MemberPtr>& into) const {
    _lock.sync([this, &into] { into = _members; });
}

MemberPtr OrbProjectTeam::get(std::int64_t memberId) const {
    return findMember(memberId);
}

MemberPtr OrbProjectTeam::findMember(std::int64_t memberId) const {
    return _lock.sync([this, memberId]() -> MemberPtr {
        const auto found = lastMemberById_.find(memberId);
        return found == lastMemberById_.end() ? nullptr : found->second;
    });
}

// The seed is taken and raised inside the lock, so that two threads adding at once never hand
// out the same id.
MemberPtr OrbProjectTeam::add(std::string name, std::optional<std::string> photoId,
                              std::optional<std::string> email, std::optional<float> costRate) {
    return _lock.sync([&] {
        auto member = OrbProjectMember::create(_idseed, std::move(name), std::move(photoId),
                                               std::move(email), costRate);
        _idseed = lx::saturatingAdd(_idseed, 1);
        _members.push_back(member);
        lastMemberById_[member->id()] = member;
        return member;
    });
}

MemberPtr OrbProjectTeam::add(MemberPtr projectMember) {
    _lock.sync([this, &projectMember] {
        _members.push_back(projectMember);
        lastMemberById_[projectMember->id()] = projectMember;
        updateIdSeedUnlocked();
    });
    return projectMember;
}

void OrbProjectTeam::clear() {
    _lock.sync([this] { install({}); });
}

void OrbProjectTeam::remove(std::int64_t memberId) {
    _lock.sync([this, memberId] {
        if (lx::removeFirst(_members, [memberId](const MemberPtr& member) {
                return member->id() == memberId;
            })) {
            reindex(memberId);
        }
        updateIdSeedUnlocked();
    });
}

bool OrbProjectTeam::isMemberNameExist(std::string_view memberName) const {
    return _lock.sync([this, memberName] {
        return lx::any(_members, [memberName](const MemberPtr& member) {
            return platform::isCanonicallyEquivalent(member->name(), memberName);
        });
    });
}

// Read under the lock like every other operation: another thread may be replacing the members
// at the same time.
bool OrbProjectTeam::isMemberEmailExist(std::string_view memberEmail) const {
    return _lock.sync([this, memberEmail] {
        return lx::any(_members, [memberEmail](const MemberPtr& member) {
            return member->email() &&
                   platform::isCanonicallyEquivalent(*member->email(), memberEmail);
        });
    });
}

std::int64_t OrbProjectTeam::count() const {
    return _lock.sync([this] { return static_cast<std::int64_t>(_members.size()); });
}

std::int64_t OrbProjectTeam::idseed() const {
    return _lock.sync([this] { return _idseed; });
}

void OrbProjectTeam::updateIdSeed() {
    _lock.sync([this] { updateIdSeedUnlocked(); });
}

std::shared_ptr<OrbProjectTeam> OrbProjectTeam::clone() const {
    auto copies = _lock.sync([this] {
        return lx::map(_members, [](const MemberPtr& member) { return member->clone(); });
    });
    auto team = create();
    team->initByMembers(copies);
    return team;
}

void OrbProjectTeam::install(const std::vector<MemberPtr>& members) {
    _members = members;
    lastMemberById_.clear();
    for (const MemberPtr& member : _members) {
        lastMemberById_[member->id()] = member;
    }
    updateIdSeedUnlocked();
}

void OrbProjectTeam::reindex(std::int64_t memberId) {
    const auto last = lx::firstReservedBy(
        _members, [memberId](const MemberPtr& member) { return member->id() == memberId; });
    if (last) {
        lastMemberById_[memberId] = *last;
    } else {
        lastMemberById_.erase(memberId);
    }
}

// An id from a file may be the largest integer; the seed then stays there instead of
// overflowing.
void OrbProjectTeam::updateIdSeedUnlocked() {
    const auto largest = lx::maxOf(_members, [](const MemberPtr& member) { return member->id(); });
    _idseed = largest ? lx::saturatingAdd(*largest, 1) : 1;
}
