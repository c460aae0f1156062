#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/manager/AppEvents.h"
#include "app/manager/CombineDocuments.h"
#include "app/manager/CombineManager.h"
#include "app/manager/CombineTestSupport.h"
#include "app/manager/FakeDocuments.h"
#include "folder/LxFolder.h"
#include "platform/qt/MainQueueDriver.h"
#include "support/DispatchTest.h"
#include "support/QtApplicationTest.h"
#include "ui-app/AppServices.h"
#include "ui-app/AppTestSupport.h"
#include "ui-app/ViewTestSupport.h"
#include "ui-app/hud/AppUserInterface.h"
#include "ui-app/hud/LxHudWindow.h"

// Package operations of fake documents that can be held at the start of a combine's save, when
// the combine has taken its snapshots, until the test lets it go on.
class GatedDocuments final : public CombineDocuments {
public:
    explicit GatedDocuments(std::shared_ptr<FakeDocuments> documents)
        : documents_(std::move(documents)) {}

    // The next save waits in `reached` until `release`.
    void holdNextSave() {
        reached_.emplace(1);
        released_.emplace(1);
    }
    bool waitUntilHeld() { return reached_->wait(); }
    void release() { released_->countDown(); }

    std::shared_ptr<OrbProject> load(const LxFile& package,
                                     const LxFolder& workingFolder) const override {
        return documents_->load(package, workingFolder);
    }
    void saveProject(const OrbProject& project, const LxFolder& workingFolder) const override {
        if (reached_) {
            reached_->countDown();
            released_->wait();
        }
        documents_->saveProject(project, workingFolder);
    }
    void orbFile(const OrbProject& project, const LxFolder& workingFolder,
                 const LxFile& toFile) const override {
        documents_->orbFile(project, workingFolder, toFile);
    }

private:
    std::shared_ptr<FakeDocuments> documents_;
    mutable std::optional<TestLatch> reached_;
    mutable std::optional<TestLatch> released_;
};

// An engine over fake packages, a stub save panel, a fake workspace and a holder of the main
// window of the test's own, with the main queue drained by Qt's event loop. A fake package's
// combined "package" holds the combined project's name.
class CombineViewTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        driver_.emplace();
    }

    void TearDown() override {
        processEvents();
        driver_.reset();
        QtApplicationTest::TearDown();
    }

    AppServices services() { return {engine_, &userInterface_, savePanel_.panel(), workspace_}; }

    // Hands the package "/drops/<name>.orb", a project of `settings`, to the engine and waits until
    // it is listed.
    void accept(const std::string& name, const combinetest::SourceSettings& settings = {}) {
        const std::filesystem::path package = "/drops/" + name + ".orb";
        documents_->add(package, [settings] { return combinetest::makeProject(settings); });
        const std::size_t listed = engine_->source()->projects().size();
        engine_->addSourceProject(package);
        ASSERT_TRUE(processEventsUntil([&] {
            return engine_->source()->projects().size() == listed + 1 &&
                   engine_->output()->profile();
        }));
        waitUntilNoOverlay();
    }

    // The busy overlay swallows clicks on the window under it; it stays up a little after its
    // dismissal.
    void waitUntilNoOverlay() {
        ASSERT_TRUE(processEventsUntil([&] { return !overlayShown(); }));
    }

    bool overlayShown() const {
        const QWidget* window = userInterface_.mainWindow();
        if (window == nullptr) {
            return false;
        }
        for (const LxHudWindow* overlay : descendants<LxHudWindow>(*window)) {
            if (overlay->isVisible()) {
                return true;
            }
        }
        return false;
    }

    // The packages combines have left in the temporary folder.
    static std::vector<std::filesystem::path> temporaryPackages() {
        std::vector<std::filesystem::path> packages;
        for (const auto& item : std::filesystem::directory_iterator(LxFolder::tmpFolder().url())) {
            if (item.path().extension() == ".orb") {
                packages.push_back(item.path());
            }
        }
        return packages;
    }

    const AppEvents events_;
    const std::shared_ptr<FakeDocuments> documents_ = std::make_shared<FakeDocuments>();
    const std::shared_ptr<GatedDocuments> gate_ = std::make_shared<GatedDocuments>(documents_);
    const std::shared_ptr<CombineManager> engine_ = CombineManager::create(events_, gate_);
    AppUserInterface userInterface_{events_};
    StubSavePanel savePanel_;
    const std::shared_ptr<FakeWorkspace> workspace_ = std::make_shared<FakeWorkspace>();
    EventLog log_{events_};

private:
    std::optional<platform::qt::MainQueueDriver> driver_;
};
