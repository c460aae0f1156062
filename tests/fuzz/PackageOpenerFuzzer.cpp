// Package bytes -> opened into a working folder -> saved and packed again: whatever a package
// holds, opening fails cleanly or gives a project that saves.
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "fuzz/FuzzSupport.h"

namespace {

namespace fs = std::filesystem;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUp();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const OrbinDocumentManager documents;
    const fs::path package = fuzz::put(fuzz::scratch() / "in.orb", fuzz::bytesOf(data, size));
    const fs::path working = fuzz::scratch() / "work";
    std::error_code ignored;
    fs::remove_all(working, ignored);
    fs::create_directories(working);
    try {
        const auto project = documents.load(LxFile(package), LxFolder(working, false));
        const LxFolder saved(fuzz::scratch() / "saved", false);
        fs::remove_all(saved.url(), ignored);
        fs::create_directories(saved.url());
        fs::copy(working, saved.url(), fs::copy_options::recursive);
        fs::remove(saved.url() / "project.moc");
        documents.saveProject(*project, saved);
        documents.orbFile(*project, saved, LxFile(fuzz::scratch() / "out.orb"));
    } catch (const OrbinDocumentError&) {
    }
    fs::remove_all(working, ignored);
    return 0;
}
