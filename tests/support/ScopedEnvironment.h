#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Sets or clears environment variables for one test and restores the earlier values when it
// goes out of scope.
//
// Example:
//   ScopedEnvironment environment;
//   environment.set("HOME", sandbox.string());
//   environment.unset("XDG_CONFIG_HOME");
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (auto entry = saved_.rbegin(); entry != saved_.rend(); ++entry) {
            if (entry->second) {
                ::setenv(entry->first.c_str(), entry->second->c_str(), 1);
            } else {
                ::unsetenv(entry->first.c_str());
            }
        }
    }

    void set(const std::string& name, const std::string& value) {
        save(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    void unset(const std::string& name) {
        save(name);
        ::unsetenv(name.c_str());
    }

private:
    void save(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
