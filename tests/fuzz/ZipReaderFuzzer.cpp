// Archive bytes -> unpacked into a scratch folder: whatever the archive holds, nothing outside
// the destination changes, and the destination is the unpacker's alone to fill.
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include "fuzz/FuzzSupport.h"
#include "zip/LxZip.h"

namespace {

namespace fs = std::filesystem;

// Every item below `folder`, links not followed, with its size.
std::set<std::string> itemsBelow(const fs::path& folder) {
    std::set<std::string> items;
    std::error_code error;
    for (fs::recursive_directory_iterator item(folder, error), end; !error && item != end;
         item.increment(error)) {
        std::error_code ignored;
        const auto size = item->is_regular_file(ignored) ? item->file_size(ignored) : 0;
        items.insert(item->path().string() + " " + std::to_string(size));
    }
    return items;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUp();
    // A neighbour with a name an entry would aim for, and a link pointing out of the folder.
    fs::create_directories(fuzz::scratch() / "outside");
    fuzz::put(fuzz::scratch() / "outside" / "keep.txt", "untouched");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path archive = fuzz::put(fuzz::scratch() / "in.zip", fuzz::bytesOf(data, size));
    const fs::path destination = fuzz::scratch() / "dest";
    std::error_code ignored;
    fs::remove_all(destination, ignored);
    const std::set<std::string> before = itemsBelow(fuzz::scratch());
    try {
        LxZip::unzipFile(archive, destination, true, std::nullopt);
    } catch (const LxZipError&) {
    } catch (const platform::Error&) {
    }
    std::set<std::string> after = itemsBelow(fuzz::scratch());
    std::erase_if(after, [&](const std::string& item) {
        return item.starts_with(destination.string() + "/") ||
               item.starts_with(destination.string() + " ");
    });
    if (after != before) {
        fuzz::finding("unpacking changed something outside its destination");
    }
    fs::remove_all(destination, ignored);
    return 0;
}
