#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QUrl>
#include <QVariantMap>
#include <QWidget>

#include "app/manager/AppEvents.h"
#include "platform/qt/SavePanel.h"
#include "platform/qt/Workspace.h"
#include "platform/reactive/AnyCancellable.h"

// Stand-ins for the desktop in the application's view tests.

// A workspace with the applications the test installs; it records every call.
class FakeWorkspace final : public platform::qt::Workspace {
public:
    struct Opening {
        std::vector<QUrl> urls;
        std::filesystem::path application;
        std::uint32_t options;
        QVariantMap configuration;
    };

    std::set<std::string> installed;
    bool launches = true;
    // Whether a request to show a file can be made; the failure of one made is run by the test.
    bool selects = true;
    SelectFailure lastSelectFailure;

    std::vector<std::pair<std::string, std::string>> selections;
    std::vector<std::string> lookups;
    std::vector<Opening> openings;

    static std::filesystem::path locationOf(const std::string& identifier) {
        return "/usr/share/applications/" + identifier + ".desktop";
    }

    bool selectFile(const std::string& path, const std::string& rootPath,
                    SelectFailure failed) override {
        selections.emplace_back(path, rootPath);
        lastSelectFailure = std::move(failed);
        return selects;
    }

    std::optional<std::filesystem::path> urlForApplication(const std::string& identifier) override {
        lookups.push_back(identifier);
        if (!installed.contains(identifier)) {
            return std::nullopt;
        }
        return locationOf(identifier);
    }

    bool openURLs(const std::vector<QUrl>& urls, const std::filesystem::path& application,
                  std::uint32_t options, const QVariantMap& configuration) override {
        openings.push_back({urls, application, options, configuration});
        return launches;
    }
};

// A save panel that records what it was asked and waits for the test to answer.
class StubSavePanel {
public:
    struct Request {
        QWidget* window;
        platform::qt::SavePanelOptions options;
        platform::qt::SavePanelCompletion completion;
    };

    platform::qt::SavePanel panel() {
        return [this](QWidget* window, const platform::qt::SavePanelOptions& options,
                      platform::qt::SavePanelCompletion completion) {
            requests.push_back({window, options, std::move(completion)});
        };
    }

    std::vector<Request> requests;
};

// The application events as they are delivered, in order: "present <caption>", "dismiss",
// "failure <text>".
class EventLog {
public:
    explicit EventLog(const AppEvents& events)
        : presenting_(events.hudPresentingRequest()->subject().sink(
              [this](const std::optional<std::string>& caption) {
                  entries.push_back("present " + caption.value_or("-"));
              })),
          dismissing_(events.hudDismissingRequest()->subject().sink(
              [this](const auto&) { entries.push_back("dismiss"); })),
          failures_(events.failurePresentRequest()->subject().sink(
              [this](const std::string& text) { entries.push_back("failure " + text); })) {}

    std::vector<std::string> entries;

private:
    platform::reactive::AnyCancellable presenting_;
    platform::reactive::AnyCancellable dismissing_;
    platform::reactive::AnyCancellable failures_;
};
