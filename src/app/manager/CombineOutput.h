#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinkType.h"
#include "app/manager/CombineSource.h"
#include "platform/foundation/Date.h"
#include "platform/reactive/AnyPublisher.h"
#include "platform/reactive/ObservableObject.h"

// The output profile: the settings of the project that a combine builds, made from the first
// accepted source and merged with each further one, and the observable holder of it.
//
// `profile` belongs to the main thread: every assignment happens there and notifies the
// watchers, also when the same value (or absence) is assigned again; they read the new value
// from the notification on. An assigned profile is never changed again: the holder, every
// watcher and `snapshot()` share that one immutable value, so a team of thousands is not
// copied for each of them, and an edit is a new profile that nobody holding the old one sees.
// Work on other threads reads `snapshot()`, the profile as it stood after the last assignment.
//
// Shared, made by `create()`, never copied. Nothing here fails or logs.
//
// Example:
//   auto output = CombineOutput::create();
//   output->refreshOutputProfile(listed);        // made from the first source
//   output->setProjectName("Roll-out 2025");
//   if (auto profile = output->snapshot()) { validateAgainst(*profile); }
class CombineOutput : public platform::reactive::ObservableObject {
public:
    // Where a combine places each source's copied task tree.
    enum class SourceProjectLayoutOption {
        direct,      // each source's top-level tasks directly under the new root
        group,       // each source under one group task at the first outline level
        subProject,  // each source under one sub-project task at the first outline level
    };

    // One person of the merged team.
    struct Member {
        // One team member merged into the entry.
        struct Source {
            // The record as merged, one copy shared by every entry made from that source: a
            // team of thousands is not thousands of copies of it. Never null.
            std::shared_ptr<const CombineSource::Project> project;
            // The member object of that source's team, shared.
            std::shared_ptr<OrbProjectMember> member;
        };

        // The trimmed name of the first member the entry was made from.
        std::string name;
        // Never empty, in the order the members were merged.
        std::vector<Source> sources;
    };

    // The settings of the combined project.
    struct Profile {
        SourceProjectLayoutOption sourceProjectLayoutOption = SourceProjectLayoutOption::direct;
        std::string name;
        // Taken from the first source and kept: currency and its placement, hours, rate.
        std::string currency;
        bool displayCurrencyAtBegining = false;
        float dailyWorkingHours = 0.0f;
        float defaultChargeRate = 0.0f;
        std::vector<Member> members;
        // The merged exception days, as stored by the sources, unsorted.
        std::vector<platform::Date> calendarExceptions;
        // Taken from the first source and kept.
        bool onlyScheduleTasksAtWorkingDays = false;
        OrbTaskLinkType taskLinkType = OrbTaskLinkType::finishToStart;
        // The earliest start and the latest (exclusive) finish of the sources' root tasks.
        platform::Date start;
        platform::Date finish;
        // Some source holds a sub-project task below its root.
        bool includeSubProject = false;
        // The deepest outline of the sources, sub-project trees not counted.
        std::int64_t maxOutlineLevel = 0;

        // The profile of a first source: named "Combined Project", one member entry per team
        // member (equal names stay apart), the source's exception days, dates and depth, and
        // the group layout for an outline shallower than 4 levels, else the direct one.
        static Profile makeOutputProfile(const CombineSource::Project& from);

        // A copy of this profile with one more source merged in: members join the first entry
        // of an equal trimmed name (case ignored; an empty name joins none), exception days
        // outside this profile's range whose day is new are appended, the range and depth
        // widen, and the layout is corrected where the source no longer allows it.
        Profile merged(const CombineSource::Project& with) const;
    };

    // An assigned profile, shared and never changed; null when there is none.
    using SharedProfile = std::shared_ptr<const Profile>;

    static std::shared_ptr<CombineOutput> create();

    // --- Main thread ---

    const SharedProfile& profile() const { return profile_.get(); }
    platform::reactive::AnyPublisher<SharedProfile, platform::reactive::Never> profilePublisher()
        const {
        return profile_.publisher();
    }
    void setProfile(std::optional<Profile> profile);

    // Makes the profile from `with` when there is none, else merges `with` into it: one
    // assignment either way.
    void refreshOutputProfile(const CombineSource::Project& with);

    // The profile's name, "" without a profile. A write stores the text as given; without a
    // profile it assigns the absent profile again.
    std::string projectName() const;
    void setProjectName(std::string name);

    // The profile's layout, `direct` without a profile; writes as for the name. Nothing checks
    // that the layout suits the profile's depth or sub-projects.
    SourceProjectLayoutOption sourceProjectLayoutOption() const;
    void setSourceProjectLayoutOption(SourceProjectLayoutOption option);

    // --- Any thread ---

    // The profile as it stood after the last assignment; null when absent.
    SharedProfile snapshot() const;

private:
    CombineOutput() = default;

    void assignEdited(const std::function<void(Profile&)>& edit);

    platform::reactive::Published<SharedProfile> profile_{*this, nullptr};
    mutable std::mutex snapshotMutex_;
    SharedProfile snapshot_;
};
