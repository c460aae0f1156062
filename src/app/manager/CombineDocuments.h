#pragma once

#include <memory>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "folder/LxFile.h"
#include "folder/LxFolder.h"

// The package operations the combine engine asks of the document layer: open a project package
// into a working folder, write a project's document into a working folder, and pack a working
// folder into a package file.
//
// Each operation runs on its caller's thread and reports failure by throwing; the engine treats
// every thrown error alike. The engine holds one for its life and calls it from the thread of
// the drop (opening) and from the combine's background thread (saving), so an implementation
// keeps no state that two calls could share unguarded.
//
// Example:
//   auto project = documents.load(LxFile("/drops/plan.orb"), workingFolder);
//   documents.saveProject(*combined, folder);
//   documents.orbFile(*combined, folder, LxFolder::temporaryFile(".orb"));
class CombineDocuments {
public:
    virtual ~CombineDocuments() = default;

    // Unpacks `package` into `workingFolder` (which exists) and answers the project its
    // "project.moc" describes; never null.
    virtual std::shared_ptr<OrbProject> load(const LxFile& package,
                                             const LxFolder& workingFolder) const = 0;

    // Writes `project` as "project.moc" into `workingFolder`.
    virtual void saveProject(const OrbProject& project, const LxFolder& workingFolder) const = 0;

    // Packs the document and the images `project` names from `workingFolder` into `toFile`.
    virtual void orbFile(const OrbProject& project, const LxFolder& workingFolder,
                         const LxFile& toFile) const = 0;
};
