// Opening (and saving) one very large package in a process of its own, so that the process's
// peak memory is the opening's: run it under /usr/bin/time -v.
//
//   open_large_package make 1000000 plan.orb   writes a package of a million tasks
//   open_large_package open plan.orb           opens it into a fresh working folder
//   open_large_package open-save plan.orb      opens it and saves it back beside it
//   open_large_package floor plan.orb          times the limit floors of its document
//
// Each step prints its wall-clock time and the process's peak memory so far; saving also the
// peak after writing the working copy, before packing. The goals for a million tasks (a 730 MB
// document): opening and saving within 15 s together, at a peak within 3x the document; the
// floor is libdeflate with simdjson On-Demand for opening and RapidJSON's PrettyWriter with
// libdeflate for saving (BenchLimitFloor.h).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "BenchDocuments.h"
#include "BenchLimitFloor.h"
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

// The process's peak resident memory so far, in MB.
double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;
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
    std::printf("open %.2f s, peak %.0f MB\n", secondsSince(start), peakMegabytes());
    if (save) {
        start = Clock::now();
        documents.saveProject(*project, folder);
        const double workingCopyPeak = peakMegabytes();
        documents.orbFile(*project, folder, LxFile(package.string() + ".saved.orb"));
        std::printf("save %.2f s, peak %.0f MB (%.0f MB after the working copy)\n",
                    secondsSince(start), peakMegabytes(), workingCopyPeak);
        fs::remove(package.string() + ".saved.orb");
    }
    fs::remove_all(folder.url());
    return 0;
}

int timeFloors(const fs::path& package) {
    const LxFolder folder = freshFolder(package, ".floor");
    std::string text;
    LxZip::unzipFile(
        package, folder.url(), true, std::nullopt, {}, {}, {},
        [&text](const std::string& name) { return name == "project.moc" ? &text : nullptr; });
    fs::remove_all(folder.url());
    {
        const bench_limit_floor::Deflated deflated = bench_limit_floor::libdeflateDeflated(text);
        bench_limit_floor::OpenFloor open(deflated, text.size());
        const auto start = Clock::now();
        const std::uint64_t values = open.run();
        std::printf("open limit floor %.2f s (%llu values)\n", secondsSince(start),
                    static_cast<unsigned long long>(values));
    }
    bench_limit_floor::SaveFloor save(text);
    const auto start = Clock::now();
    const std::size_t size = save.run();
    std::printf("save limit floor %.2f s (%.0f MB deflated)\n", secondsSince(start),
                static_cast<double>(size) / 1e6);
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
    if (mode == "floor" && argc == 3) {
        return timeFloors(argv[2]);
    }
    std::fprintf(stderr,
                 "usage: %s make <tasks> <package> | open <package> | open-save <package> | "
                 "floor <package>\n",
                 argv[0]);
    return 2;
}
