#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "folder/LxFile.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/reactive/AnyCancellable.h"

// Drops packages on an engine as the application does and pumps the main queue until each drop
// has been reported (the busy overlay dismissed); runs a combine on a thread of its own. For
// tests that derive from DispatchTest.
class EngineDrops {
public:
    EngineDrops(const AppEvents& events, std::shared_ptr<CombineManager> engine)
        : engine_(std::move(engine)),
          dismissed_(
              events.hudDismissingRequest()->subject().sink([this](auto) { ++dismissals_; })) {}

    EngineDrops(const EngineDrops&) = delete;
    EngineDrops& operator=(const EngineDrops&) = delete;

    void drop(const std::filesystem::path& package) {
        const int before = dismissals_;
        engine_->addSourceProject(package);
        ASSERT_TRUE(platform::dispatch::runUntil([&] { return dismissals_ > before; },
                                                 std::chrono::seconds(10)));
        platform::dispatch::runUntilIdle();
    }

    // The package of a combine run on another thread, as the application runs it.
    std::optional<LxFile> combineOnWorker() const {
        std::optional<LxFile> package;
        std::thread worker([&] { package = engine_->combine(); });
        worker.join();
        return package;
    }

private:
    const std::shared_ptr<CombineManager> engine_;
    // Written by main-queue work, which the test's own thread runs while it pumps.
    int dismissals_ = 0;
    platform::reactive::AnyCancellable dismissed_;
};
