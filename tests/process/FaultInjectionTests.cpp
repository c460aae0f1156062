// The program's file operations with one system call failing, the nth of its kind for every n
// the operation reaches: whatever fails, the user's old file stays whole, nothing half-made is
// left, and success is reported only for a result that is whole.
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "process/ProcessTestSupport.h"
#include "zip/LxZip.h"
#include "zip/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;
using process_test::InjectedRun;
using process_test::runProbeFailing;
using test_files::contentOf;
using test_files::put;

// Runs the probe with the nth call of each listed system call failing, for every n up to the
// last call the probe makes, and hands each run to `check` after `prepare` has reset the files.
void sweep(const std::vector<std::string>& syscalls, const std::string& error,
           const std::vector<std::string>& probeArguments, const std::function<void()>& prepare,
           const std::function<void(const InjectedRun&)>& check) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer runtime makes system calls of its own (its shadow memory, its reports) and
    // ends the process, with status 0, when one of them fails: the failure is no longer ours.
    GTEST_SKIP() << "system calls are injected in the ordinary build only";
#endif
    for (const std::string& syscall : syscalls) {
        int nth = 1;
        for (; nth < 400; ++nth) {
            SCOPED_TRACE(syscall + " call " + std::to_string(nth) + " fails with " + error);
            prepare();
            const InjectedRun run = runProbeFailing(syscall, error, nth, probeArguments);
            if (!run.injected) {
                ASSERT_TRUE(run.ending.succeeded()) << "without a failure the operation succeeds";
                break;
            }
            check(run);
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
        EXPECT_LT(nth, 400) << syscall;
    }
}

// Every item of `folder` whose name starts with a dot: where the atomic writer keeps its work.
std::vector<std::string> hiddenItems(const fs::path& folder) {
    std::vector<std::string> hidden;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.path().filename().string().starts_with(".")) {
            hidden.push_back(item.path().filename().string());
        }
    }
    return hidden;
}

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A private file replaced by a save stays private: failing to read or give it its mode fails
// the save and keeps the old file.
TEST(FaultInjection, ASaveKeepsThePrivateFilesModeOrFailsAndKeepsTheOldFile) {
    const fs::path folder = test_files::sandbox() / "plans";
    fs::create_directories(folder);
    const fs::path plan = folder / "plan.orb";
    const auto prepare = [&] {
        put(plan, "old plan");
        fs::permissions(plan, fs::perms(0600));
    };
    sweep({"fchmod", "newfstatat", "openat", "write", "fsync", "close", "rename"}, "EIO",
          {"write", plan.string(), "new plan"}, prepare, [&](const InjectedRun& run) {
              EXPECT_EQ(modeOf(plan), 0600U);
              EXPECT_EQ(contentOf(plan), run.ending.succeeded() ? "new plan" : "old plan");
              EXPECT_EQ(hiddenItems(folder), std::vector<std::string>{});
          });
    sweep({"fchmod"}, "EPERM", {"write", plan.string(), "new plan"}, prepare,
          [&](const InjectedRun& run) {
              EXPECT_FALSE(run.ending.succeeded());
              EXPECT_EQ(modeOf(plan), 0600U);
              EXPECT_EQ(contentOf(plan), "old plan");
          });
}

// A copy that fails half-way removes what it made: a half-made photo must not be packed later
// as if it were whole.
TEST(FaultInjection, AFailedCopyLeavesNothingAtItsTarget) {
    const fs::path photo = put(test_files::sandbox() / "photo.jpg", std::string(100'000, 'p'));
    const fs::path copy = test_files::sandbox() / "copy.jpg";
    for (const char* error : {"ENOSPC", "EIO", "EPERM"}) {
        sweep(
            {"sendfile", "copy_file_range", "fchmod", "read", "write", "utimensat"}, error,
            {"copy", photo.string(), copy.string()}, [&] { fs::remove(copy); },
            [&](const InjectedRun& run) {
                if (run.ending.succeeded()) {
                    EXPECT_EQ(contentOf(copy), contentOf(photo));
                } else {
                    EXPECT_FALSE(fs::exists(fs::symlink_status(copy)));
                }
            });
    }
}

// Opening a package: a photo that cannot be copied is not in the working folder at all, and
// whatever is there is whole.
TEST(FaultInjection, AnOpenedPackageLeavesOnlyWholeFilesInTheWorkingFolder) {
    const std::string photo(50'000, 'j');
    const std::string document = R"({"Uid": "U", "Ples": [{"Id": 1, "Nm": "A", "Pt": "P"}]})";
    const fs::path package = zip_test::writeArchive(test_files::sandbox() / "plan.orb",
                                                    {{"project.moc", document}, {"P.jpg", photo}});
    const fs::path working = test_files::sandbox() / "work";
    const auto prepare = [&] {
        fs::remove_all(working);
        fs::create_directories(working);
    };
    sweep({"sendfile", "copy_file_range", "fchmod"}, "ENOSPC",
          {"open", package.string(), working.string()}, prepare, [&](const InjectedRun&) {
              for (const auto& item : fs::recursive_directory_iterator(working)) {
                  if (item.path().filename() == "P.jpg") {
                      EXPECT_EQ(contentOf(item.path()), photo);
                  } else if (item.path().filename() == "project.moc") {
                      EXPECT_EQ(contentOf(item.path()), document);
                  }
              }
          });
}

// Packs a document and a photo through the probe's `command` while each call an archive is
// written through fails in turn, and holds the probe to what it reports: a package reported
// saved reads back whole, to us and to another zip reader; a failure leaves the older file as
// it was; no temporary is left either way.
void expectReportedSavedOnlyWhenWhole(const std::string& command) {
    const fs::path folder = test_files::sandbox() / "out";
    fs::create_directories(folder);
    const fs::path document = put(test_files::sandbox() / "project.moc", R"({"Uid": "U"})");
    const fs::path photo = put(test_files::sandbox() / "P.jpg", std::string(40'000, 'q'));
    const fs::path archive = folder / "plan.orb";
    const std::string old = "the older package";
    sweep(
        {"lseek", "write", "close", "fsync", "rename"}, "EIO",
        {command, archive.string(), document.string(), photo.string()},
        [&] {
            put(archive, old);
            // Where "save" packs before it copies; "zip" makes none.
            fs::remove(archive.string() + ".package");
        },
        [&](const InjectedRun& run) {
            if (run.ending.succeeded()) {
                std::vector<LxZip::EntrySummary> entries;
                ASSERT_NO_THROW(entries = LxZip::verifiedEntries(archive))
                    << "reported saved, but the archive does not read back";
                ASSERT_EQ(entries.size(), 2U);
                EXPECT_EQ(entries[1].size, 40'000U);
                const zip_test::CommandResult peer = zip_test::run(
                    std::string(zip_test::kPython) + " -m zipfile -t " + zip_test::quoted(archive));
                EXPECT_EQ(peer.exitCode, 0) << peer.output;
            } else {
                EXPECT_EQ(contentOf(archive), old);
            }
            EXPECT_EQ(hiddenItems(folder), std::vector<std::string>{});
        });
}

// minizip reports success for an archive it wrote wrong when the position query before an
// entry fails; the archive is read back before it replaces the old one.
TEST(FaultInjection, APackIsReportedSavedOnlyWhenTheArchiveReadsBackWhole) {
    expectReportedSavedOnlyWhenWhole("zip");
}

// A combined package is not read back as it is packed, only as the copy the user saves is made:
// that one read must still catch every archive minizip wrote wrong, before the chosen file is
// replaced.
TEST(FaultInjection, ASavedPackageIsReportedSavedOnlyWhenItsCopyReadsBackWhole) {
    expectReportedSavedOnlyWhenWhole("save");
}

// A write past the file-size limit fails like any other (EFBIG) instead of killing the process,
// so the writer removes its temporary and the old file stays.
TEST(FaultInjection, AWritePastTheFileSizeLimitFailsAndCleansUp) {
    const fs::path folder = test_files::sandbox() / "plans";
    fs::create_directories(folder);
    const fs::path plan = put(folder / "plan.orb", "old plan");
    const process_test::Ending ending =
        process_test::run({"/bin/sh", "-c", "ulimit -f 8 && exec \"$0\" fill \"$1\" 100000",
                           process_test::kProbe, plan.string()});
    EXPECT_EQ(ending.signal, 0) << "killed by signal " << ending.signal;
    EXPECT_EQ(ending.exitCode, 1);
    EXPECT_EQ(contentOf(plan), "old plan");
    EXPECT_EQ(hiddenItems(folder), std::vector<std::string>{});
}

}  // namespace
