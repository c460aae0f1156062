// How long the window freezes on the user's road with large plans: two or ten packages dropped
// on the real window (each further one merged into the profile of the first), combined, saved
// and cleared, with the engine opening real packages and the main queue drained by Qt's event
// loop, as in the application.
//
// The probe times every event the main thread handles (a main-queue turn, a layout, a paint, a
// click) from the outside; the figure of a moment is the longest of them. The goal is one frame
// (16 ms) at ten packages of 10k tasks and 200 members and at two of 100k tasks and 2,000
// members, reported beside each figure as `goal_ms`.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QMetaObject>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "BenchDocuments.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "app/manager/OrbinCombineDocuments.h"
#include "folder/LxFolder.h"
#include "platform/dispatch/Quiescence.h"
#include "platform/foundation/DateContext.h"
#include "platform/foundation/ProcessLifetime.h"
#include "platform/foundation/StandardFolders.h"
#include "platform/qt/MainQueueDriver.h"
#include "platform/qt/Workspace.h"
#include "ui-app/AppDelegate.h"
#include "ui-app/AppServices.h"
#include "ui-app/hud/AppUserInterface.h"
#include "ui-app/hud/LxHudWindow.h"
#include "utility/LxAsync.h"
#include "zip/LxZip.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPhotoSize = 4096;
constexpr std::int64_t kTasksPerMember = 50;

fs::path benchFolder() {
    return platform::privateTemporaryFolder() / "main-thread-bench";
}

// The application object, timing each event it hands out at the outermost level: nested event
// loops and events sent from inside an event count towards the event that started them.
class StallProbe final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0) {
            ++depth_;
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        ++depth_;
        const Clock::time_point start = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        const Clock::duration took = Clock::now() - start;
        --depth_;
        if (took > longest_) {
            longest_ = took;
        }
        return handled;
    }

    // The longest event since the last call, in milliseconds.
    double takeLongestMilliseconds() {
        const double longest = std::chrono::duration<double, std::milli>(longest_).count();
        longest_ = Clock::duration::zero();
        return longest;
    }

private:
    int depth_ = 0;
    Clock::duration longest_ = Clock::duration::zero();
};

StallProbe& probe() {
    return *static_cast<StallProbe*>(QCoreApplication::instance());
}

class NoWorkspace final : public platform::qt::Workspace {
public:
    bool selectFile(const std::string&, const std::string&, SelectFailure) override { return true; }
    std::optional<fs::path> urlForApplication(const std::string&) override { return std::nullopt; }
    bool openURLs(const std::vector<QUrl>&, const fs::path&, std::uint32_t,
                  const QVariantMap&) override {
        return false;
    }
};

std::string photoId(const std::string& package, std::int64_t member) {
    return package + "-photo-" + std::to_string(member);
}

// A package of `tasks` tasks and `members` members; `memberName` names member i (from 1). The
// first twenty members have photos.
fs::path makePackage(const std::string& name, std::int64_t tasks, std::int64_t members,
                     const std::function<std::string(std::int64_t)>& memberName) {
    JsonProjectData document = bench_documents::makeDocument(tasks);
    std::vector<JsonPeople>& people = *document._data->peoples;
    const float costRate = *people.front().costRate;
    people.resize(static_cast<std::size_t>(members));
    for (std::int64_t id = 1; id <= members; ++id) {
        JsonPeople& member = people[static_cast<std::size_t>(id - 1)];
        member.id = id;
        member.name = memberName(id);
        member.email = "member" + std::to_string(id) + "@example.org";
        member.costRate = costRate;
        member.photoId =
            id <= 20 ? std::optional<std::string>("photo-" + std::to_string(id)) : std::nullopt;
    }
    const fs::path source = benchFolder() / name;
    fs::create_directories(source);
    std::vector<fs::path> files{source / "project.moc"};
    std::ofstream(files.front(), std::ios::binary) << document.jsonString().value();
    for (std::int64_t id = 1; id <= std::min<std::int64_t>(members, 20); ++id) {
        files.push_back(source / (photoId(name, id) + ".jpg"));
        std::ofstream(files.back(), std::ios::binary) << std::string(kPhotoSize, '\x5A');
    }
    const fs::path archive = benchFolder() / (name + ".orb");
    LxZip::zipFiles(files, archive, std::nullopt);
    fs::remove_all(source);
    return archive;
}

bool overlayShown(const QWidget& window) {
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (dynamic_cast<const LxHudWindow*>(widget) != nullptr && widget->isVisible()) {
            return true;
        }
    }
    return false;
}

// Handles events until `done` holds and then for a little longer, so the paints and the
// overlay's fading that follow a change are counted with it. False when `done` never held.
bool handleEventsUntil(const std::function<bool()>& done, std::chrono::seconds timeout,
                       std::chrono::milliseconds settle = std::chrono::milliseconds(300)) {
    QTimer heartbeat;
    heartbeat.start(5);
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const Clock::time_point settled = Clock::now() + settle;
    while (Clock::now() < settled) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs `action` as one event of its own, as a click would come.
void post(std::function<void()> action) {
    QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
}

// The packages of a run: the first team's names, then in each further package every other
// member one of the first team (written in capitals) and the rest guests of its own.
std::vector<fs::path> makePackages(std::int64_t tasks, std::int64_t members, int count) {
    std::vector<fs::path> packages{
        makePackage("first-" + std::to_string(tasks), tasks, members,
                    [](std::int64_t id) { return "Member " + std::to_string(id); })};
    for (int number = 1; number < count; ++number) {
        const std::string name = "source-" + std::to_string(number) + "-" + std::to_string(tasks);
        packages.push_back(makePackage(name, tasks, members, [number](std::int64_t id) {
            return id % 2 == 0 ? "MEMBER " + std::to_string(id)
                               : "Guest " + std::to_string(number) + "-" + std::to_string(id);
        }));
    }
    return packages;
}

// {tasks per package, packages}.
void BM_LongestMainThreadJob(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const std::int64_t tasks = state.range(0);
    const auto count = static_cast<int>(state.range(1));
    const std::int64_t members = tasks / kTasksPerMember;
    const std::vector<fs::path> packages = makePackages(tasks, members, count);

    for (auto _ : state) {
        const AppEvents events;
        const auto engine =
            CombineManager::create(events, std::make_shared<const OrbinCombineDocuments>());
        AppUserInterface userInterface(events);
        std::function<void()> answerSavePanel;
        const fs::path destination = benchFolder() / "saved.orb";
        const platform::qt::SavePanel savePanel =
            [&](QWidget*, const platform::qt::SavePanelOptions&,
                platform::qt::SavePanelCompletion completion) {
                answerSavePanel = [completion = std::move(completion), destination] {
                    completion(destination);
                };
            };
        auto delegate = std::make_unique<AppDelegate>(
            AppServices{engine, &userInterface, savePanel, std::make_shared<NoWorkspace>()});
        delegate->applicationDidFinishLaunching();
        QWidget& window = *delegate->window();
        handleEventsUntil([] { return true; }, std::chrono::seconds(5));
        probe().takeLongestMilliseconds();

        const auto drop = [&](const fs::path& package, std::size_t listed) {
            LxAsync::background([engine, package] { engine->addSourceProject(package); });
            return handleEventsUntil(
                [&] {
                    return engine->source()->projects().size() == listed &&
                           engine->output()->profile() && !overlayShown(window);
                },
                std::chrono::minutes(2));
        };
        if (!drop(packages.front(), 1)) {
            state.SkipWithError("the first package was not listed");
            break;
        }
        state.counters["drop_ms"] = probe().takeLongestMilliseconds();
        bool listed = true;
        for (std::size_t number = 1; listed && number < packages.size(); ++number) {
            listed = drop(packages[number], number + 1);
        }
        if (!listed) {
            state.SkipWithError("a further package was not listed");
            break;
        }
        state.counters["merge_ms"] = probe().takeLongestMilliseconds();
        if (engine->output()->profile()->members.size() !=
            static_cast<std::size_t>(members + (count - 1) * (members / 2))) {
            state.SkipWithError("the teams were not merged");
            break;
        }

        auto* combine = window.findChild<QPushButton*>("combineButton");
        post([combine] { combine->click(); });
        if (!handleEventsUntil([&] { return answerSavePanel != nullptr; },
                               std::chrono::minutes(5))) {
            state.SkipWithError("the combine did not ask where to save");
            break;
        }
        state.counters["combine_ms"] = probe().takeLongestMilliseconds();
        post([&answerSavePanel] { answerSavePanel(); });
        if (!handleEventsUntil([&] { return fs::exists(destination) && !overlayShown(window); },
                               std::chrono::minutes(1))) {
            state.SkipWithError("the combined package was not saved");
            break;
        }
        state.counters["save_ms"] = probe().takeLongestMilliseconds();

        auto* clear = window.findChild<QPushButton*>("sourcesClearButton");
        post([clear] { clear->click(); });
        // The projects are freed meanwhile, which takes a while for large ones: the window is
        // watched until they surely are.
        if (!handleEventsUntil([&] { return !engine->output()->profile(); },
                               std::chrono::minutes(1), std::chrono::seconds(3))) {
            state.SkipWithError("the sources were not cleared");
            break;
        }
        state.counters["clear_ms"] = probe().takeLongestMilliseconds();

        delegate.reset();
        handleEventsUntil([] { return true; }, std::chrono::seconds(5));
        probe().takeLongestMilliseconds();
        fs::remove(destination);
        for (const auto& entry : fs::directory_iterator(platform::privateTemporaryFolder())) {
            if (entry.path() != benchFolder()) {
                fs::remove_all(entry.path());
            }
        }
    }
    state.counters["goal_ms"] = 16.0;
}

BENCHMARK(BM_LongestMainThreadJob)
    ->Args({10000, 2})
    ->Args({10000, 10})
    ->Args({100000, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // Before QApplication and the queues: their threads inherit its signal set-up. The bench
    // folder, settings included, goes with the private folder at the end of the run.
    const platform::ProcessLifetime lifetime;
    fs::create_directories(benchFolder());
    const fs::path screens = benchFolder() / "screens.json";
    std::ofstream(screens)
        << R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
        << R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((benchFolder() / "config").string()));
    StallProbe application(argc, argv);
    {
        const platform::qt::MainQueueDriver mainQueueDriver;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        platform::dispatch::waitForQuiescence(std::chrono::minutes(1));
        QCoreApplication::processEvents();
    }
    return 0;
}
