#include "app/manager/CombineManager.h"

#include <utility>

#include "utility/LxError.h"

namespace {

// Stands in while the engine has no document layer: the engine then reports each load and each
// save as failed, as it would for a package it cannot read or write.
class NoDocuments final : public CombineDocuments {
public:
    std::shared_ptr<OrbProject> load(const LxFile&, const LxFolder&) const override {
        throw unavailable();
    }
    void saveProject(const OrbProject&, const LxFolder&) const override { throw unavailable(); }
    void orbFile(const OrbProject&, const LxFolder&, const LxFile&) const override {
        throw unavailable();
    }

private:
    static LxError unavailable() { return LxError::failure("No document manager"); }
};

}  // namespace

std::shared_ptr<CombineManager> CombineManager::create(
    AppEvents events, std::shared_ptr<const CombineDocuments> documents) {
    if (!documents) {
        documents = std::make_shared<const NoDocuments>();
    }
    return std::shared_ptr<CombineManager>(
        new CombineManager(std::move(events), std::move(documents)));
}

// The source list is made here rather than on first use: the views and the loading work reach
// for it from different threads, and one made eagerly can never be made twice.
CombineManager::CombineManager(AppEvents events, std::shared_ptr<const CombineDocuments> documents)
    : events_(std::move(events)),
      documents_(std::move(documents)),
      source_(CombineSource::create()),
      output_(CombineOutput::create()),
      projectValidatingFailedEvent_(ValidatingFailedEvent::create()) {}
