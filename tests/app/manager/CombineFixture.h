#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "app/manager/FakeDocuments.h"
#include "folder/LxFolder.h"
#include "utility/LxTreeNode.h"

// An engine over fake packages whose sources are listed and merged by hand, for combining
// projects made in the test.
class CombineFixture : public testing::Test {
protected:
    using Layout = CombineOutput::SourceProjectLayoutOption;
    using TaskPtr = OrbProjectTask::Ptr;

    std::shared_ptr<FakeDocuments> documents = std::make_shared<FakeDocuments>();
    std::shared_ptr<CombineManager> engine = CombineManager::create(AppEvents(), documents);

    // A project named `name` whose root (named as given) runs through the tasks added to it.
    static std::shared_ptr<OrbProject> project(const std::string& name,
                                               const std::string& rootName = "") {
        auto made = OrbProject::create(name + "-uid", name);
        made->root()->setName(rootName);
        return made;
    }

    // A one-day task on day `day` of the week from Monday 2024-05-06.
    static TaskPtr task(OrbProject& project, const TaskPtr& parent, std::int64_t id,
                        const std::string& name, std::int64_t day = 0) {
        auto made =
            projecttest::addTask(project, parent, id, projecttest::monday() + LxDays(day), 1);
        made->setName(name);
        return made;
    }

    // Opens `project` as the package "/drops/<n>.orb" into a working folder of its own, lists it
    // and merges it into the profile, as an accepted load does.
    CombineSource::Project accept(const std::shared_ptr<OrbProject>& project) {
        const std::string package = "/drops/" + std::to_string(accepted_++) + ".orb";
        documents->add(package, [project] { return project; });
        const LxFolder folder = LxFolder::tmpFolder().child("source-" + package.substr(7), false);
        folder.createIfNotExist();
        documents->load(LxFile(package), folder);
        const CombineSource::Project listed =
            engine->source()->append(CombineSource::Project{0, package, project, folder});
        engine->output()->refreshOutputProfile(listed);
        return listed;
    }

    // The project the combine saved with `layout`.
    std::shared_ptr<const OrbProject> combined(Layout layout) {
        engine->output()->setSourceProjectLayoutOption(layout);
        const std::optional<LxFile> package = engine->combine();
        EXPECT_TRUE(package);
        return package ? documents->saved().back() : nullptr;
    }

    // The ids of the tree below `task`, in pre-order.
    static std::vector<std::int64_t> treeIds(const TaskPtr& task) {
        std::vector<std::int64_t> ids;
        lx::treeNavigate(task, [&ids](const TaskPtr& node) { ids.push_back(node->id()); });
        return ids;
    }

    static std::vector<std::string> childNames(const TaskPtr& task) {
        std::vector<std::string> names;
        for (const TaskPtr& child : task->childs().value_or(OrbProjectTask::Childs{})) {
            names.push_back(child->name());
        }
        return names;
    }

    // The task of the combined project with that name; null when there is none.
    static TaskPtr named(const OrbProject& project, const std::string& name) {
        return lx::treeSearch(project.root(),
                              [&name](const TaskPtr& node) { return node->name() == name; });
    }

private:
    int accepted_ = 0;
};
