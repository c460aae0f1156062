// One file operation of the program per run, for the tests that run it under a failing system
// call (strace -e inject) or a resource limit and then look at what it left on disk.
//
//   fault_probe write <path> <text>          writes the file whole, as a save does
//   fault_probe fill <path> <bytes>          the same with <bytes> bytes, after the start-up
//   fault_probe copy <from> <to>             copies an item
//   fault_probe zip <archive> <files...>     packs the files
//   fault_probe save <archive> <files...>    packs the files into <archive>.package and saves a
//                                            checked copy at <archive>, as a combine's save does
//   fault_probe open <package> <folder>      opens a package into a working folder
//   fault_probe lifetime                     starts and quits as the application does
//   fault_probe interrupted <path> <ending>  starts as the application does, writes part of the
//                                            file, prints its temporary and the private folder,
//                                            then waits for a signal ("wait") or exits ("exit")
//
// Exit status 0 when the operation reported success, 1 when it reported failure.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/ProcessLifetime.h"
#include "platform/foundation/StandardFolders.h"
#include "zip/LxZip.h"

namespace {

int run(const std::vector<std::string>& arguments) {
    const std::string_view command = arguments.at(0);
    if (command == "write") {
        platform::writeFileAtomically(arguments.at(1), arguments.at(2));
    } else if (command == "fill") {
        const platform::ProcessLifetime lifetime;
        platform::writeFileAtomically(arguments.at(1),
                                      std::string(std::stoul(arguments.at(2)), 'x'));
    } else if (command == "copy") {
        platform::copyItem(arguments.at(1), arguments.at(2));
    } else if (command == "zip") {
        const std::vector<std::filesystem::path> files(arguments.begin() + 2, arguments.end());
        LxZip::zipFiles(files, arguments.at(1), std::nullopt);
    } else if (command == "save") {
        const std::vector<std::filesystem::path> files(arguments.begin() + 2, arguments.end());
        const std::filesystem::path package = arguments.at(1) + ".package";
        LxZip::zipFiles(files, package, std::nullopt, LxZipCompression::DefaultCompression, {},
                        LxZip::ReadBack::byReceiver);
        platform::copyFileAtomically(
            package, arguments.at(1),
            [](const std::filesystem::path& copy) { LxZip::verifiedEntries(copy); });
    } else if (command == "open") {
        OrbinDocumentManager().load(LxFile(arguments.at(1)), LxFolder(arguments.at(2), false));
    } else if (command == "interrupted") {
        const platform::ProcessLifetime lifetime;
        const std::filesystem::path folder = platform::privateTemporaryFolder();
        platform::AtomicFileWriter writer(arguments.at(1));
        writer.write(std::string(std::size_t{1} << 20, 'x'));
        std::printf("%s\n%s\n", writer.temporaryPath().c_str(), folder.c_str());
        std::fflush(stdout);
        if (arguments.at(2) == "exit") {
            std::exit(1);
        }
        for (;;) {
            ::pause();
        }
    } else if (command == "lifetime") {
        const platform::ProcessLifetime lifetime;
        std::puts(platform::privateTemporaryFolder().c_str());
    } else {
        std::fprintf(stderr, "fault_probe: unknown command\n");
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fault_probe: %s\n", error.what());
        return 1;
    }
}
