#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

// The user's settings: a small key-value store of texts, whole numbers, floating numbers,
// Booleans and data, kept in memory and, when it has a file, saved there after every change.
//
// The file is one JSON object, written whole and atomically (platform::writeFileAtomically),
// so a crash leaves the old settings or the new ones. A missing file is an empty store; a file
// that cannot be read or is not a settings file is logged as a warning and left untouched:
// the store then works in memory only, so nothing the user had is overwritten. A failed save is
// logged as a warning; the change stays in memory.
//
// The typed reads convert as the platform's settings do and answer none where the stored
// value is not of that kind (never 0 or false): a text only from a text, data only from data,
// whole and floating numbers into each other only when the value is exact, a Boolean from a
// Boolean or from the number 0 or 1.
//
// Thread-safe: any thread may read and write; saves are applied in the order of the changes.
//
// Example:
//   platform::UserDefaults settings(folder / "defaults.json");
//   settings.set("view_width", 320.0);
//   const std::optional<double> width = settings.double_("view_width");
class UserDefaults {
public:
    using Data = std::vector<std::uint8_t>;
    using Object = std::variant<std::string, std::int64_t, double, bool, Data>;

    // A store in memory only.
    UserDefaults();
    // A store saved at `file`; loads it now. The folder is made when the first change is saved.
    explicit UserDefaults(std::filesystem::path file);
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The process's store, saved at defaultUserDefaultsFile(). Made on first use and never
    // destroyed.
    static UserDefaults& standard();

    std::optional<Object> object(std::string_view key) const;
    std::optional<std::string> string(std::string_view key) const;
    std::optional<std::int64_t> integer(std::string_view key) const;
    std::optional<double> double_(std::string_view key) const;
    std::optional<bool> bool_(std::string_view key) const;
    std::optional<Data> data(std::string_view key) const;

    void set(std::string_view key, Object value);
    void removeObject(std::string_view key);

    // Where the store is saved; none for a store in memory only.
    const std::optional<std::filesystem::path>& file() const { return file_; }

private:
    void change(const std::function<void(std::map<std::string, Object, std::less<>>&)>& apply);
    void load();
    void save() const;

    const std::optional<std::filesystem::path> file_;
    mutable std::mutex mutex_;
    std::map<std::string, Object, std::less<>> objects_;
    // False once an existing file could not be read: it is never overwritten then.
    bool saving_ = true;
};

// Where the process's settings live: "orbin-combine/defaults.json" in the user's configuration
// folder (platform::configHome(): $XDG_CONFIG_HOME, else ~/.config).
std::filesystem::path defaultUserDefaultsFile();

}  // namespace platform
