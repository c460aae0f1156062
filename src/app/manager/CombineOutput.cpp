#include "app/manager/CombineOutput.h"

#include <functional>
#include <utility>

#include "utility/ReleasedOnQueue.h"

std::shared_ptr<CombineOutput> CombineOutput::create() {
    return std::shared_ptr<CombineOutput>(new CombineOutput());
}

// The snapshot is replaced before the watchers hear of the change, so that work they start
// already reads the new profile. A team of thousands takes a while to free, and the last holder
// of a replaced profile often lets go of it on the main thread: it is freed in the background.
void CombineOutput::setProfile(std::optional<Profile> profile) {
    SharedProfile assigned =
        profile ? lx::releasedInBackground(std::make_shared<const Profile>(std::move(*profile)))
                : nullptr;
    {
        const std::lock_guard lock(snapshotMutex_);
        snapshot_ = assigned;
    }
    profile_.set(std::move(assigned));
}

void CombineOutput::refreshOutputProfile(const CombineSource::Project& with) {
    const auto& current = profile();
    setProfile(current ? current->merged(with) : Profile::makeOutputProfile(with));
}

std::string CombineOutput::projectName() const {
    return profile() ? profile()->name : std::string();
}

void CombineOutput::setProjectName(std::string name) {
    assignEdited([&name](Profile& profile) { profile.name = std::move(name); });
}

CombineOutput::SourceProjectLayoutOption CombineOutput::sourceProjectLayoutOption() const {
    return profile() ? profile()->sourceProjectLayoutOption : SourceProjectLayoutOption::direct;
}

void CombineOutput::setSourceProjectLayoutOption(SourceProjectLayoutOption option) {
    assignEdited([option](Profile& profile) { profile.sourceProjectLayoutOption = option; });
}

// Without a profile the absent one is assigned again: the edit changes nothing, but the field
// that made it hears back and shows the profile's state again.
void CombineOutput::assignEdited(const std::function<void(Profile&)>& edit) {
    std::optional<Profile> changed;
    if (const SharedProfile& current = profile()) {
        changed = *current;
        edit(*changed);
    }
    setProfile(std::move(changed));
}

CombineOutput::SharedProfile CombineOutput::snapshot() const {
    const std::lock_guard lock(snapshotMutex_);
    return snapshot_;
}
