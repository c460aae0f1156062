#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"

class OrbProject;
class OrbProjectTeam;

// One team member assigned to a task with a workload in percent of the member's working time
// (100 is one whole unit). Members are told apart by id, never by object.
//
// Shared, made by `create()`, never copied: a task's list hands out the assignment objects
// themselves. No lock: used by the thread that owns the task's project.
class OrbTaskResourceAssignment {
public:
    // Stores the workload as given, also above 100 or below 0.
    static std::shared_ptr<OrbTaskResourceAssignment> create(
        std::shared_ptr<OrbProjectMember> projectMember, std::int64_t workLoad);

    OrbTaskResourceAssignment(const OrbTaskResourceAssignment&) = delete;
    OrbTaskResourceAssignment& operator=(const OrbTaskResourceAssignment&) = delete;

    const std::shared_ptr<OrbProjectMember>& member() const { return member_; }
    void setMember(std::shared_ptr<OrbProjectMember> member) { member_ = std::move(member); }

    std::int64_t workload() const { return workload_; }
    // Held in 0...100.
    void setWorkload(std::int64_t workload);

private:
    OrbTaskResourceAssignment(std::shared_ptr<OrbProjectMember> member, std::int64_t workload)
        : member_(std::move(member)), workload_(workload) {}

    std::shared_ptr<OrbProjectMember> member_;
    std::int64_t workload_;
};

// A task's resource assignments in insertion order, at most one per member id, with the sums
// and averages the task's work and estimated labour cost come from.
//
// The resources row string is the list's text form: member id and workload of each assignment
// in decimal, all joined by "," ("3,50,7,100").
//
// Each task owns one list; `empty()` is the one shared list handed out where a task may not hold
// assignments (a group task, a milestone): it stays empty and ignores every change, so any
// thread may read it. Other lists carry no lock: used by the thread that owns the task's
// project. Never copied.
//
// Requires: members handed to a list are not null.
//
// Example:
//   OrbTaskResources resources;
//   resources.addOrUpdateResource(kato, 50);
//   const float units = resources.unitsOfWorkload();   // 0.5
class OrbTaskResources {
public:
    using Assignment = std::shared_ptr<OrbTaskResourceAssignment>;

    OrbTaskResources() = default;
    OrbTaskResources(const OrbTaskResources&) = delete;
    OrbTaskResources& operator=(const OrbTaskResources&) = delete;

    // The shared list that stays empty (an OrbEmptyTaskResources), made on first use.
    static OrbTaskResources& empty();

    bool isEmpty() const { return _assignments.empty(); }
    // The assignments in insertion order.
    const std::vector<Assignment>& assignments() const { return _assignments; }
    // The same assignments ordered by member name (case counts: "B" before "a"); equal names
    // keep their order.
    std::vector<Assignment> assignementsSortedByName() const;
    // The assignment at `index`; null outside the list.
    Assignment operator[](std::int64_t index) const;

    // The workloads added up (held at the ends of the 64-bit range); 0 for none.
    std::int64_t sumOfWorkload() const;
    // sumOfWorkload() / 100 as a float.
    float unitsOfWorkload() const;
    // The members' cost rates weighted by workload, in float; for one assignment its member's
    // rate whatever the workload; 0 for none and when the workloads add up to 0.
    float averageCostRate() const;

    bool isMemberIncluded(std::int64_t memberId) const;
    bool isAnyMemberIncluded(const std::vector<std::int64_t>& memberIds) const;
    // The last assignment of that member; null when there is none.
    Assignment getAssignmentByMemberId(std::int64_t memberId) const;

    void clear();
    // Sets the workload of the member's assignment (held in 0...100; the assignment keeps its
    // own member object), or appends a new assignment with the workload as given.
    void addOrUpdateResource(std::shared_ptr<OrbProjectMember> member, std::int64_t workload);
    // Removes the first assignment of that member, if any.
    void remove(std::int64_t memberId);

    // The resources row string; "" for no assignments.
    std::string toRowData() const;
    // Replaces the list with the assignments a resources row string names, each member looked
    // up in `team` (the last one of an id). A pair is skipped when either number is not strict
    // decimal, the workload is below 1 or no member has the id; a last field without partner is
    // skipped too, and one leading empty field (",3,50") is passed over. The list is emptied
    // first, always.
    // Requires: the caller does not hold the team's lock.
    void fromRowData(std::string_view json, const OrbProjectTeam& team);
    // The same with the members of `project`'s team.
    void fromRowData(std::string_view json, const OrbProject& project);

protected:
    struct IgnoringChanges {};
    explicit OrbTaskResources(IgnoringChanges) : ignoresChanges_(true) {}

private:
    const bool ignoresChanges_ = false;
    std::vector<Assignment> _assignments;
};

// The type of the shared empty list: it answers empty and ignores every change.
class OrbEmptyTaskResources final : public OrbTaskResources {
private:
    friend class OrbTaskResources;
    OrbEmptyTaskResources() : OrbTaskResources(IgnoringChanges{}) {}
};
