#include "app/manager/CombineSource.h"

#include <utility>

#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/StringExtensions.h"

namespace {

bool holdsText(const std::optional<std::string>& text) {
    return text && !lx::isBlank(*text);
}

bool holdsEntries(const std::optional<std::vector<std::string>>& texts) {
    return texts && !texts->empty();
}

}  // namespace

CombineSource::Outline CombineSource::Outline::of(const OrbProject& project) {
    const auto& root = project.root();
    return {root->start(), root->finish(), root->includeSubProjectInChildsTree(),
            root->deepsOfChildsExceptSubProjectTasks()};
}

CombineSource::Outline CombineSource::Project::outline() const {
    return measuredOutline ? *measuredOutline : Outline::of(*orbProject);
}

bool CombineSource::ValidationResult::isEmpty() const {
    return !holdsText(currency) && !holdsText(dialyWorkingHours) && !holdsEntries(resources) &&
           !holdsEntries(calendars) && !holdsText(datePolicy) && !holdsText(linkType);
}

// Nobody shows these errors as text: the pipeline turns them into the problems sheet or a fixed
// message, so they carry the generic description.
CombineSource::SourceError::SourceError(Kind kind, std::optional<ValidationResult> problems)
    : platform::Error(platform::kGenericErrorDescription),
      kind_(kind),
      problems_(std::move(problems)) {}

CombineSource::SourceError CombineSource::SourceError::validating(ValidationResult problems) {
    return SourceError(Kind::validating, std::move(problems));
}

CombineSource::SourceError CombineSource::SourceError::loading() {
    return SourceError(Kind::loading, std::nullopt);
}

std::shared_ptr<CombineSource> CombineSource::create() {
    return std::shared_ptr<CombineSource>(new CombineSource());
}

// The index is taken here, on the main thread, from the list as it is at the moment of the
// append: an index read elsewhere could be stale, and two sources sharing one would share the
// combine's per-source member map.
CombineSource::Project CombineSource::append(Project project) {
    std::vector<Project> projects = projects_.get();
    project.index = static_cast<std::int64_t>(projects.size());
    projects.push_back(project);
    publish(std::move(projects));
    return project;
}

void CombineSource::removeAll() {
    publish({});
}

std::shared_ptr<const std::vector<CombineSource::Project>> CombineSource::snapshot() const {
    const std::lock_guard lock(snapshotMutex_);
    return snapshot_;
}

// The snapshot is replaced before the watchers hear of the change, so that work they start
// already reads the new list.
void CombineSource::publish(std::vector<Project> projects) {
    {
        auto next = std::make_shared<const std::vector<Project>>(projects);
        const std::lock_guard lock(snapshotMutex_);
        snapshot_ = std::move(next);
    }
    projects_.set(std::move(projects));
}
