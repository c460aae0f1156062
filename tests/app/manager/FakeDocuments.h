#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "app/manager/CombineDocuments.h"
#include "support/FileTestHelpers.h"
#include "utility/LxError.h"
#include "zip/LxZip.h"

// Package operations over projects made in the test: a "package" is a path the test registered
// with a maker of its project. Opening one writes the photos of its members into the working
// folder, as a real package would bring them; saving keeps the project for the test to read.
class FakeDocuments final : public CombineDocuments {
public:
    using Maker = std::function<std::shared_ptr<OrbProject>()>;

    // Each open of `package` makes a fresh project.
    void add(const std::filesystem::path& package, Maker maker) {
        const std::lock_guard lock(mutex_);
        makers_[package] = std::move(maker);
    }

    // The next saves throw.
    void failSaving() {
        const std::lock_guard lock(mutex_);
        failSaving_ = true;
    }

    // The projects saved so far, in order.
    std::vector<std::shared_ptr<const OrbProject>> saved() const {
        const std::lock_guard lock(mutex_);
        return saved_;
    }

    // The working folders of those saves.
    std::vector<LxFolder> savedFolders() const {
        const std::lock_guard lock(mutex_);
        return savedFolders_;
    }

    // Copies of the working folders as they were packed, kept in the sandbox: the engine removes
    // its own once the package is made.
    std::vector<LxFolder> packedFolders() const {
        const std::lock_guard lock(mutex_);
        return packedFolders_;
    }

    // A photo's bytes name the package it came from.
    static std::string photoBytes(const std::filesystem::path& package, const std::string& id) {
        return id + " of " + package.string();
    }

    std::shared_ptr<OrbProject> load(const LxFile& package,
                                     const LxFolder& workingFolder) const override {
        Maker maker;
        {
            const std::lock_guard lock(mutex_);
            const auto found = makers_.find(package.url());
            if (found == makers_.end()) {
                throw LxError::failure("Not a project package");
            }
            maker = found->second;
        }
        auto project = maker();
        const OrbinDocumentManager::ProjectWorkingFolder folder(workingFolder);
        folder.photoFolder().createIfNotExist();
        for (const auto& member : project->team()->members()) {
            if (member->photoid() && !member->photoid()->empty()) {
                folder.photoFile(*member->photoid())
                    .write(photoBytes(package.url(), *member->photoid()));
            }
        }
        return project;
    }

    void saveProject(const OrbProject& project, const LxFolder& workingFolder) const override {
        const std::lock_guard lock(mutex_);
        if (failSaving_) {
            throw LxError::failure("Saving failed");
        }
        saved_.push_back(project.shared_from_this());
        savedFolders_.push_back(workingFolder);
        workingFolder.file("project.moc").write(project.name());
    }

    // A real archive, as the save panel reads the package back before copying it.
    void orbFile(const OrbProject&, const LxFolder& workingFolder,
                 const LxFile& toFile) const override {
        LxZip::zipFiles({workingFolder.file("project.moc").url()}, toFile.url(), std::nullopt);
        const std::lock_guard lock(mutex_);
        const std::filesystem::path copy =
            test_files::sandbox() / ("packed-" + std::to_string(packedFolders_.size()));
        std::filesystem::copy(workingFolder.url(), copy, std::filesystem::copy_options::recursive);
        packedFolders_.emplace_back(copy, false);
    }

    // The project name a fake package holds.
    static std::string packagedName(const std::filesystem::path& package) {
        const std::filesystem::path folder = package.parent_path() / ".unpacked";
        std::filesystem::remove_all(folder);
        LxZip::unzipFile(package, folder, true, std::nullopt);
        const std::string name = LxFile(folder / "project.moc").read();
        std::filesystem::remove_all(folder);
        return name;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::filesystem::path, Maker> makers_;
    bool failSaving_ = false;
    mutable std::vector<std::shared_ptr<const OrbProject>> saved_;
    mutable std::vector<LxFolder> savedFolders_;
    mutable std::vector<LxFolder> packedFolders_;
};
