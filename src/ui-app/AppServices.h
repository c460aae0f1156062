#pragma once

#include <memory>

#include "app/manager/CombineManager.h"
#include "platform/qt/SavePanel.h"
#include "platform/qt/Workspace.h"
#include "ui-app/hud/AppUserInterface.h"

// What the main window's views work with: the combine engine (and through it the application
// events), the holder of the main window, the save panel and the desktop's workspace. The
// application's own come from `shared()`; a test hands in its own engine, panel and workspace.
//
// Example:
//   auto* pane = new OutputProfileView(AppServices::shared());
struct AppServices {
    std::shared_ptr<CombineManager> engine;
    // Not owned; outlives the views.
    AppUserInterface* userInterface = nullptr;
    platform::qt::SavePanel savePanel;
    std::shared_ptr<platform::qt::Workspace> workspace;

    // AppContext::shared()'s engine, AppUserInterface::shared(), Qt's file dialog and the
    // freedesktop workspace.
    static AppServices shared();
};
