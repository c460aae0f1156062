#include "platform/defaults/UserDefaults.h"

#include <cmath>
#include <limits>

#include "LxLog/Log.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/StandardFolders.h"
#include "platform/json/Value.h"
#include "platform/json/Writer.h"

namespace platform {
namespace {

// One stored value in the file: an object whose one key names the kind, so a double that
// happens to be whole reads back as a double and data as data.
struct StoredObject {
    UserDefaults::Object object;

    void encode(json::Writer& writer) const {
        writer.encodeObject([this](json::ObjectWriter& entry) {
            std::visit(
                [&entry](const auto& value) {
                    using T = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<T, std::string>) {
                        entry.encode("string", value);
                    } else if constexpr (std::is_same_v<T, std::int64_t>) {
                        entry.encode("integer", value);
                    } else if constexpr (std::is_same_v<T, double>) {
                        entry.encode("double", value);
                    } else if constexpr (std::is_same_v<T, bool>) {
                        entry.encode("bool", value);
                    } else {
                        entry.encode("data", base64Encode(value));
                    }
                },
                object);
        });
    }

    static StoredObject decode(const json::Value& value) {
        const auto entry = value.object();
        if (entry.contains("string")) {
            return {entry.decode<std::string>("string")};
        }
        if (entry.contains("integer")) {
            return {entry.decode<std::int64_t>("integer")};
        }
        if (entry.contains("double")) {
            return {entry.decode<double>("double")};
        }
        if (entry.contains("bool")) {
            return {entry.decode<bool>("bool")};
        }
        const json::Value data = entry.value("data");
        auto bytes = base64Decode(data.decode<std::string>());
        if (!bytes) {
            data.dataCorrupted("The data is not Base64");
        }
        return {std::move(*bytes)};
    }
};

struct StoredObjects {
    std::map<std::string, UserDefaults::Object, std::less<>> objects;

    void encode(json::Writer& writer) const {
        writer.encodeObject([this](json::ObjectWriter& file) {
            for (const auto& [key, object] : objects) {
                file.encode(key, StoredObject{object});
            }
        });
    }

    static StoredObjects decode(const json::Value& value) {
        const auto file = value.object();
        StoredObjects stored;
        for (const std::string& key : file.keys()) {
            stored.objects.emplace(key, file.decode<StoredObject>(key).object);
        }
        return stored;
    }
};

// 2^63, the first double above the range of a 64-bit whole number.
constexpr double kInt64Limit = 9223372036854775808.0;

// The stored value when it is of kind T.
template <class T>
std::optional<T> held(const std::optional<UserDefaults::Object>& stored) {
    if (const auto* value = stored ? std::get_if<T>(&*stored) : nullptr) {
        return *value;
    }
    return std::nullopt;
}

}  // namespace

UserDefaults::UserDefaults() = default;

UserDefaults::UserDefaults(std::filesystem::path file) : file_(std::move(file)) {
    load();
}

UserDefaults& UserDefaults::standard() {
    static auto* store = new UserDefaults(defaultUserDefaultsFile());
    return *store;
}

std::optional<UserDefaults::Object> UserDefaults::object(std::string_view key) const {
    const std::lock_guard lock(mutex_);
    const auto found = objects_.find(key);
    if (found == objects_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> UserDefaults::string(std::string_view key) const {
    return held<std::string>(object(key));
}

std::optional<std::int64_t> UserDefaults::integer(std::string_view key) const {
    const auto stored = object(key);
    if (const auto whole = held<std::int64_t>(stored)) {
        return whole;
    }
    const auto floating = held<double>(stored);
    if (floating && std::trunc(*floating) == *floating && *floating >= -kInt64Limit &&
        *floating < kInt64Limit) {
        return static_cast<std::int64_t>(*floating);
    }
    return std::nullopt;
}

std::optional<double> UserDefaults::double_(std::string_view key) const {
    const auto stored = object(key);
    if (const auto floating = held<double>(stored)) {
        return floating;
    }
    // Exact only when the double converts back to the same whole number.
    const auto whole = held<std::int64_t>(stored);
    if (whole && static_cast<double>(*whole) < kInt64Limit &&
        static_cast<std::int64_t>(static_cast<double>(*whole)) == *whole) {
        return static_cast<double>(*whole);
    }
    return std::nullopt;
}

std::optional<bool> UserDefaults::bool_(std::string_view key) const {
    const auto stored = object(key);
    if (const auto flag = held<bool>(stored)) {
        return flag;
    }
    const auto whole = held<std::int64_t>(stored);
    if (whole && (*whole == 0 || *whole == 1)) {
        return *whole == 1;
    }
    const auto floating = held<double>(stored);
    if (floating && (*floating == 0.0 || *floating == 1.0)) {
        return *floating == 1.0;
    }
    return std::nullopt;
}

std::optional<UserDefaults::Data> UserDefaults::data(std::string_view key) const {
    return held<Data>(object(key));
}

void UserDefaults::set(std::string_view key, Object value) {
    change([&](auto& objects) { objects.insert_or_assign(std::string(key), std::move(value)); });
}

void UserDefaults::removeObject(std::string_view key) {
    change([&](auto& objects) {
        if (const auto found = objects.find(key); found != objects.end()) {
            objects.erase(found);
        }
    });
}

// Saved under the lock, so two changes from two threads reach the file in their order.
void UserDefaults::change(
    const std::function<void(std::map<std::string, Object, std::less<>>&)>& apply) {
    const std::lock_guard lock(mutex_);
    apply(objects_);
    save();
}

void UserDefaults::load() {
    if (!itemExists(*file_)) {
        return;
    }
    try {
        objects_ = json::Decoder().decode<StoredObjects>(readFileContents(*file_)).objects;
    } catch (const std::exception& error) {
        saving_ = false;
        Log::warning("User defaults at \"" + Log::escaped(file_->string()) +
                     "\" could not be read; changes are kept in memory only: " +
                     Log::escaped(localizedDescription(error)));
    }
}

void UserDefaults::save() const {
    if (!file_ || !saving_) {
        return;
    }
    try {
        const std::string text =
            json::Encoder(json::DateEncodingStrategy::iso8601(), json::Formatting::pretty)
                .encode(StoredObjects{objects_});
        createFolder(file_->parent_path());
        writeFileAtomically(*file_, text);
    } catch (const std::exception& error) {
        Log::warning("User defaults could not be saved at \"" + Log::escaped(file_->string()) +
                     "\": " + Log::escaped(localizedDescription(error)));
    }
}

std::filesystem::path defaultUserDefaultsFile() {
    return configHome() / "orbin-combine" / "defaults.json";
}

}  // namespace platform
