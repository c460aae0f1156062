#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "folder/LxFolder.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Error.h"
#include "platform/reactive/AnyPublisher.h"
#include "platform/reactive/ObservableObject.h"

// The list of loaded source projects that the combine engine merges, in the order they were
// accepted.
//
// Views watch `projects` on the main thread (`objectWillChange()`, `projectsPublisher()`); only
// the main thread changes the list. Work on other threads reads `snapshot()`, an immutable copy
// of the list as it stood after the last change, never the live list.
//
// Shared, made by `create()`, never copied.
//
// Example:
//   auto source = CombineSource::create();
//   const CombineSource::Project listed = source->append(loaded);   // listed.index == 0
class CombineSource : public platform::reactive::ObservableObject {
public:
    // What the output profile takes from a source's task tree: the root's dates and outline.
    struct Outline {
        platform::Date start;
        platform::Date finish;
        // Some task below the root is a sub-project.
        bool includeSubProject = false;
        // The root's depth, sub-project trees not counted.
        std::int64_t maxOutlineLevel = 0;

        // Walks the whole tree: on the thread that opened the project, not the main one.
        static Outline of(const OrbProject& project);
    };

    // One loaded source; once listed it never changes.
    struct Project {
        // The number of sources listed before it when it was appended; unique in the list.
        std::int64_t index = 0;
        // The package file as it was handed to the engine.
        std::filesystem::path url;
        // Shared with every record copy, never copied.
        std::shared_ptr<OrbProject> orbProject;
        // The folder the package was opened into; removed with the last copy of
        // `workingFolderRemoval` (TemporaryItems.h), so not while a combine reads this record.
        LxFolder workingFolder;
        // The outline of `orbProject`, measured once where it was opened, so that merging the
        // source into the profile on the main thread walks no tree of a hundred thousand tasks.
        // Absent in records made by hand; `outline()` then measures.
        std::shared_ptr<const Outline> measuredOutline = nullptr;
        // Shared by every copy of the record; absent in records made by hand (the folder stays).
        std::shared_ptr<const void> workingFolderRemoval = nullptr;

        Outline outline() const;
    };

    // Every disagreement of a new source with the output profile, by topic; absent where the
    // source agrees.
    struct ValidationResult {
        std::optional<std::string> currency = std::nullopt;
        std::optional<std::string> dialyWorkingHours = std::nullopt;
        std::optional<std::vector<std::string>> resources = std::nullopt;
        std::optional<std::vector<std::string>> calendars = std::nullopt;
        std::optional<std::string> datePolicy = std::nullopt;
        std::optional<std::string> linkType = std::nullopt;

        // No text that is present and not blank, no list that is present and not empty (a
        // list holding one blank text is not empty).
        bool isEmpty() const;

        bool operator==(const ValidationResult&) const = default;
    };

    // Why a source was not listed: it disagrees with the profile (`problems()` says how), or
    // its package could not be opened.
    class SourceError : public platform::Error {
    public:
        enum class Kind { validating, loading };

        static SourceError validating(ValidationResult problems);
        static SourceError loading();

        Kind kind() const { return kind_; }
        // Present exactly for `validating`.
        const std::optional<ValidationResult>& problems() const { return problems_; }

    private:
        SourceError(Kind kind, std::optional<ValidationResult> problems);

        Kind kind_;
        std::optional<ValidationResult> problems_;
    };

    static std::shared_ptr<CombineSource> create();

    // Main thread only.
    const std::vector<Project>& projects() const { return projects_.get(); }
    platform::reactive::AnyPublisher<std::vector<Project>, platform::reactive::Never>
    projectsPublisher() const {
        return projects_.publisher();
    }

    // Lists `project` with its index set to the number of sources listed now, and answers the
    // record as listed. Main thread only.
    Project append(Project project);
    // Empties the list (one published change, also when it is empty already).
    void removeAll();

    // The list as it stood after the last change; any thread.
    std::shared_ptr<const std::vector<Project>> snapshot() const;

private:
    CombineSource() = default;

    void publish(std::vector<Project> projects);

    platform::reactive::Published<std::vector<Project>> projects_{*this, {}};
    mutable std::mutex snapshotMutex_;
    std::shared_ptr<const std::vector<Project>> snapshot_ =
        std::make_shared<const std::vector<Project>>();
};
