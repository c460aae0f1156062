// Copying a task's properties onto another task, and copies of a task made for another project.
#include <unordered_set>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "LxOrbinDocument/Model/Task/CloneWarnings.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "platform/foundation/CallSite.h"

using Ptr = OrbProjectTask::Ptr;
using Categories = OrbProjectTask::Categories;
using Category = Categories::Category;

namespace {

// A copy for another project takes what it can by itself; assignments and the contact person
// name members of the source's team and are looked up in the other team instead.
constexpr Categories kCloneCategories =
    Categories::allExcept({Category::date, Category::assignment, Category::contactor});
// A copy for some members also works out its own work and cost from the share it keeps.
constexpr Categories kMemberCloneCategories =
    Categories::only({Category::type, Category::percentage, Category::dateBaseline, Category::urls,
                      Category::icon, Category::color});

// The names the warnings of the two copies carry, the same whatever the build calls them.
constexpr char kCloneFunction[] = "clonePropertyExceptChildrenAndLinkToOtherProject(toProject:)";
constexpr char kMemberCloneFunction[] =
    "cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(toProject:"
    "memberIds:)";

// The copy keeps the source's id and stores the dates the source shows as they are, also dates
// the setters would replace.
Ptr copyFor(const OrbProjectTask& source, const std::shared_ptr<OrbProject>& project,
            Categories categories) {
    const Ptr copy =
        OrbProjectTask::create(project, nullptr, source.id(), source.start(), source.finish());
    source.copyProperties(*copy, categories);
    return copy;
}

// The member of `team` with the id of `member`; null, with a warning naming the person, when the
// team has none.
OrbProjectTask::Member memberInTeam(const OrbProjectTeam& team, const OrbProjectMember& member,
                                    const platform::CallSite& site) {
    auto found = team.get(member.id());
    if (!found) {
        lx::warnMemberNotCloned("Clone incorrect, as", member, site);
    }
    return found;
}

// The part of the source's workload the copy keeps. Workloads that add up to 0 or less (only
// negative ones stored beside a kept one can) give no meaningful share: the copy then keeps
// the whole work and cost rather than an infinite or undefined part of them.
float keptShare(const OrbTaskResources& kept, const OrbTaskResources& all) {
    const float total = all.unitsOfWorkload();
    if (!(total > 0.0f)) {
        return 1.0f;
    }
    return kept.unitsOfWorkload() / total;
}

bool holdsDates(const DateBaseline* baseline) {
    return baseline && (baseline->start() || baseline->finish());
}

OrbTaskWork scaled(const OrbTaskWork& work, float share) {
    switch (work.kind()) {
        case OrbTaskWork::Kind::fixAmount:
            return OrbTaskWork::fixAmount(*work.amount() * share);
        case OrbTaskWork::Kind::fixDailyWork:
            return OrbTaskWork::fixDailyWork(*work.amount() * share);
        case OrbTaskWork::Kind::byResource:
            break;
    }
    return OrbTaskWork::byResource();
}

}  // namespace

// The steps run in a fixed order that matters: the kind first, so that the target's
// assignments and work setters see the kind they will keep.
void OrbProjectTask::copyProperties(OrbProjectTask& to, Categories withoutLinkAndChildren) const {
    const Categories& categories = withoutLinkAndChildren;
    to.setName(_name);
    if (categories.type()) {
        to.setTaskType(type());
    }
    if (categories.date()) {
        to.setStart(start());
        to.setFinish(finish());
    }
    if (categories.percentage()) {
        to.setCompletedPercentage(completePercentage());
    }
    // A baseline without dates is what a target makes on first read anyway: making one on both
    // tasks for every copy would add two objects per task to large copies (a combine of 100k
    // tasks) for nothing. A target that already has a baseline still takes the absent dates.
    if (categories.dateBaseline() && (holdsDates(madeDateBaseline()) || to.madeDateBaseline())) {
        const DateBaseline* from = madeDateBaseline();
        to.dateBaseline()->copyDates(from ? *from : *DateBaseline::create({}));
    }
    if (categories.assignment()) {
        for (const OrbTaskResources::Assignment& assignment : resources().assignments()) {
            to.resources().addOrUpdateResource(assignment->member(), assignment->workload());
        }
    }
    if (categories.work()) {
        to.setWork(workData());
    }
    if (categories.workPercentage()) {
        to.setWorkCompletedPercentage(workCompletePercentage());
    }
    if (categories.cost()) {
        to.setLaborCost(costData().laborCost);
        to.setMaterialsCost(materialsCost());
    }
    if (categories.contactor() && _contactor) {
        to.setContactor(_contactor);
    }
    if (categories.urls()) {
        to.setUrl1(url1());
        to.setUrl2(url2());
    }
    if (categories.icon()) {
        to.setIcon(_iconindex);
    }
    if (categories.color()) {
        to.setColor(_colorindex);
    }
}

Ptr OrbProjectTask::clonePropertyExceptChildrenAndLinkToOtherProject(
    const std::shared_ptr<OrbProject>& toProject) const {
    const Ptr copy = copyFor(*this, toProject, kCloneCategories);
    const OrbProjectTeam& team = *toProject->team();
    for (const OrbTaskResources::Assignment& assignment : resources().assignments()) {
        const Member member = memberInTeam(team, *assignment->member(),
                                           platform::CallSite{}.withFunction(kCloneFunction));
        if (member) {
            copy->resources().addOrUpdateResource(member, assignment->workload());
        }
    }
    if (_contactor) {
        const Member member =
            memberInTeam(team, *_contactor, platform::CallSite{}.withFunction(kCloneFunction));
        if (member) {
            copy->setContactor(member);
        }
    }
    return copy;
}

// A member id named twice selects its assignment once: taken twice, the second would clamp a
// workload stored above 100 and skew the share.
Ptr OrbProjectTask::cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(
    const std::shared_ptr<OrbProject>& toProject,
    const std::vector<std::int64_t>& memberIds) const {
    if (!isSingleTask()) {
        return nullptr;
    }
    std::vector<OrbTaskResources::Assignment> selected;
    std::unordered_set<std::int64_t> selectedIds;
    for (const std::int64_t memberId : memberIds) {
        const auto assignment = resources().getAssignmentByMemberId(memberId);
        if (assignment && assignment->workload() > 0 && selectedIds.insert(memberId).second) {
            selected.push_back(assignment);
        }
    }
    if (selected.empty()) {
        return nullptr;
    }
    const Ptr copy = copyFor(*this, toProject, kMemberCloneCategories);
    const OrbProjectTeam& team = *toProject->team();
    for (const OrbTaskResources::Assignment& assignment : selected) {
        const Member member = memberInTeam(team, *assignment->member(),
                                           platform::CallSite{}.withFunction(kMemberCloneFunction));
        if (member) {
            copy->resources().addOrUpdateResource(member, assignment->workload());
        }
    }
    const float share = keptShare(copy->resources(), resources());
    copy->setWork(scaled(workData(), share));
    copy->setWorkCompletedPercentage(workCompletePercentage());
    const OrbTaskLaborCost& labor = costData().laborCost;
    copy->setLaborCost(labor.isFix() ? OrbTaskLaborCost::fix(*labor.amount() * share)
                                     : OrbTaskLaborCost::auto_());
    copy->setMaterialsCost(share * materialsCost());
    return copy;
}
