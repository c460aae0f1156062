// Opening (and saving) one very large package in a process of its own, so that the process's
// peak memory is the opening's: run it under /usr/bin/time -v.
//
//   open_large_package make 1000000 plan.orb   writes a package of a million tasks
//   open_large_package open plan.orb           opens it into a fresh working folder
//   open_large_package open-save plan.orb      opens it and saves it back beside it
//
// Each step prints its wall-clock time. The goal for a million tasks (a 730 MB document) is
// opening within 12 s and 4 GiB.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "folder/LxFolder.h"
#include "zip/LxZip.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A fresh, empty folder beside `package`.
LxFolder freshFolder(const fs::path& package, const std::string& suffix) {
    const fs::path path = package.string() + suffix;
    fs::remove_all(path);
    fs::create_directories(path);
    return LxFolder(path, false);
}

int make(std::int64_t tasks, const fs::path& package) {
    const LxFolder source = freshFolder(package, ".source");
    std::vector<fs::path> files{source.url() / "project.moc"};
    {
        const JsonProjectData document = bench_documents::makeDocument(tasks);
        std::ofstream(files.front(), std::ios::binary) << document.jsonString().value();
        for (const JsonPeople& member : *document._data->peoples) {
            files.push_back(source.url() / (*member.photoId + ".jpg"));
            std::ofstream(files.back(), std::ios::binary) << std::string(4096, '\x5A');
        }
    }
    LxZip::zipFiles(files, package, std::nullopt);
    std::printf("document %.0f MB\n", static_cast<double>(fs::file_size(files.front())) / 1e6);
    fs::remove_all(source.url());
    return 0;
}

int open(const fs::path& package, bool save) {
    const OrbinDocumentManager documents;
    const LxFolder folder = freshFolder(package, ".working");
    auto start = Clock::now();
    std::shared_ptr<OrbProject> project = documents.load(LxFile(package), folder);
    std::printf("open %.2f s\n", secondsSince(start));
    if (save) {
        start = Clock::now();
        documents.saveProject(*project, folder);
        documents.orbFile(*project, folder, LxFile(package.string() + ".saved.orb"));
        std::printf("save %.2f s\n", secondsSince(start));
        fs::remove(package.string() + ".saved.orb");
    }
    fs::remove_all(folder.url());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 4) {
        return make(std::atoll(argv[2]), argv[3]);
    }
    if ((mode == "open" || mode == "open-save") && argc == 3) {
        return open(argv[2], mode == "open-save");
    }
    std::fprintf(stderr,
                 "usage: %s make <tasks> <package> | open <package> | open-save <package>\n",
                 argv[0]);
    return 2;
}
