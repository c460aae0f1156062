#include "LxOrbinDocument/Model/Task/OrbTaskResources.h"

#include <algorithm>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "platform/foundation/UnicodeText.h"
#include "utility/CollectionExtensions.h"
#include "utility/NumberConversions.h"
#include "utility/SequenceExtensions.h"
#include "utility/StringExtensions.h"

using Assignment = OrbTaskResources::Assignment;

namespace {

constexpr std::int64_t kFullWorkload = 100;
constexpr float kPercent = 100.0f;

auto hasMember(std::int64_t memberId) {
    return
        [memberId](const Assignment& assignment) { return assignment->member()->id() == memberId; };
}

}  // namespace

std::shared_ptr<OrbTaskResourceAssignment> OrbTaskResourceAssignment::create(
    std::shared_ptr<OrbProjectMember> projectMember, std::int64_t workLoad) {
    return std::shared_ptr<OrbTaskResourceAssignment>(
        new OrbTaskResourceAssignment(std::move(projectMember), workLoad));
}

void OrbTaskResourceAssignment::setWorkload(std::int64_t workload) {
    workload_ = std::clamp<std::int64_t>(workload, 0, kFullWorkload);
}

// One instance for every group task and milestone; changes are ignored, so sharing it between
// threads needs no lock.
OrbTaskResources& OrbTaskResources::empty() {
    static OrbEmptyTaskResources instance;
    return instance;
}

std::vector<Assignment> OrbTaskResources::assignementsSortedByName() const {
    std::vector<Assignment> sorted = _assignments;
    std::ranges::stable_sort(sorted, [](const Assignment& lhs, const Assignment& rhs) {
        return platform::compareCanonically(lhs->member()->name(), rhs->member()->name()) < 0;
    });
    return sorted;
}

Assignment OrbTaskResources::operator[](std::int64_t index) const {
    return lx::element(_assignments, index).value_or(nullptr);
}

// Workloads of new assignments are stored as read, so a damaged file can make them huge; the
// sum holds at the end of the range instead of overflowing.
std::int64_t OrbTaskResources::sumOfWorkload() const {
    std::int64_t total = 0;
    for (const Assignment& assignment : _assignments) {
        total = lx::saturatingAdd(total, assignment->workload());
    }
    return total;
}

float OrbTaskResources::unitsOfWorkload() const {
    return static_cast<float>(sumOfWorkload()) / kPercent;
}

// Workloads that add up to 0 would divide by 0 and give a cost that is not a number (or
// infinite); nobody working gives no rate instead.
float OrbTaskResources::averageCostRate() const {
    if (_assignments.empty()) {
        return 0.0f;
    }
    if (_assignments.size() == 1) {
        return _assignments.front()->member()->costRate();
    }
    const auto total = static_cast<float>(sumOfWorkload());
    if (total == 0.0f) {
        return 0.0f;
    }
    float weighted = 0.0f;
    for (const Assignment& assignment : _assignments) {
        weighted += static_cast<float>(assignment->workload()) * assignment->member()->costRate();
    }
    return weighted / total;
}

bool OrbTaskResources::isMemberIncluded(std::int64_t memberId) const {
    return lx::any(_assignments, hasMember(memberId));
}

bool OrbTaskResources::isAnyMemberIncluded(const std::vector<std::int64_t>& memberIds) const {
    return lx::any(memberIds, [this](std::int64_t memberId) { return isMemberIncluded(memberId); });
}

Assignment OrbTaskResources::getAssignmentByMemberId(std::int64_t memberId) const {
    return lx::firstReservedBy(_assignments, hasMember(memberId)).value_or(nullptr);
}

void OrbTaskResources::clear() {
    if (!ignoresChanges_) {
        _assignments.clear();
    }
}

void OrbTaskResources::addOrUpdateResource(std::shared_ptr<OrbProjectMember> member,
                                           std::int64_t workload) {
    if (ignoresChanges_) {
        return;
    }
    if (const Assignment present = getAssignmentByMemberId(member->id())) {
        present->setWorkload(workload);
        return;
    }
    _assignments.push_back(OrbTaskResourceAssignment::create(std::move(member), workload));
}

void OrbTaskResources::remove(std::int64_t memberId) {
    if (!ignoresChanges_) {
        lx::removeFirst(_assignments, hasMember(memberId));
    }
}

// Written without a "," before the first pair, so that the text cuts into whole pairs and reads
// back into the same assignments.
std::string OrbTaskResources::toRowData() const {
    std::string text;
    for (const Assignment& assignment : _assignments) {
        if (!text.empty()) {
            text += ',';
        }
        text +=
            lx::toString(assignment->member()->id()) + ',' + lx::toString(assignment->workload());
    }
    return text;
}

// Texts written with a "," before the first pair are read as well: the leading empty field is
// passed over instead of shifting every pair by one.
void OrbTaskResources::fromRowData(std::string_view json, const OrbProjectTeam& team) {
    if (ignoresChanges_) {
        return;
    }
    _assignments.clear();
    if (lx::isBlank(json)) {
        return;
    }
    const std::vector<std::string> fields = lx::splitted(json, ",");
    const std::size_t first = fields.front().empty() ? 1 : 0;
    for (std::size_t index = first; index + 1 < fields.size(); index += 2) {
        const auto memberId = lx::parseInt(fields[index]);
        const auto workload = lx::parseInt(fields[index + 1]);
        if (!memberId || !workload || *workload < 1) {
            continue;
        }
        if (auto member = team.findMember(*memberId)) {
            addOrUpdateResource(std::move(member), *workload);
        }
    }
}

void OrbTaskResources::fromRowData(std::string_view json, const OrbProject& project) {
    fromRowData(json, *project.team());
}
