#include "app/manager/OrbinCombineDocuments.h"

std::shared_ptr<OrbProject> OrbinCombineDocuments::load(const LxFile& package,
                                                        const LxFolder& workingFolder) const {
    return manager_.load(package, workingFolder);
}

void OrbinCombineDocuments::saveProject(const OrbProject& project,
                                        const LxFolder& workingFolder) const {
    manager_.saveProject(project, workingFolder);
}

void OrbinCombineDocuments::orbFile(const OrbProject& project, const LxFolder& workingFolder,
                                    const LxFile& toFile) const {
    manager_.orbFile(project, workingFolder, toFile);
}
