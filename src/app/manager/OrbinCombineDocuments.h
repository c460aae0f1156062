#pragma once

#include <memory>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "app/manager/CombineDocuments.h"

// The engine's package operations done by the document layer: real project packages opened
// into and saved from working folders by OrbinDocumentManager. Every failure reaches the engine
// as the OrbinDocumentError that the manager logged and threw.
//
// Stateless, like the manager; any thread may call it.
//
// Example:
//   auto engine = CombineManager::create(events, std::make_shared<const OrbinCombineDocuments>());
class OrbinCombineDocuments final : public CombineDocuments {
public:
    std::shared_ptr<OrbProject> load(const LxFile& package,
                                     const LxFolder& workingFolder) const override;
    void saveProject(const OrbProject& project, const LxFolder& workingFolder) const override;
    void orbFile(const OrbProject& project, const LxFolder& workingFolder,
                 const LxFile& toFile) const override;

private:
    OrbinDocumentManager manager_;
};
