#pragma once

// The package operations on project documents: opening a package into a working folder and
// saving a project back into one. Stateless; each operation runs on the caller's thread.
class OrbinDocumentManager {
public:
    // The places of one project's working folder (ProjectWorkingFolder.h).
    class ProjectWorkingFolder;
};
