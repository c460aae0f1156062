#pragma once

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/FileTestHelpers.h"

extern char** environ;

// Starting the program's own executables as whole processes and reading how they ended.
namespace process_test {

struct Ending {
    std::optional<int> exitCode;  // none when a signal ended the process
    int signal = 0;

    bool succeeded() const { return exitCode == 0; }
};

inline Ending endingOf(int status) {
    Ending ending;
    if (WIFEXITED(status)) {
        ending.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        ending.signal = WTERMSIG(status);
    }
    return ending;
}

// Starts `arguments` (the first names the program, found on the PATH) with the test's
// environment plus `environment` ("NAME=value"), standard output and error to `output`.
inline pid_t start(const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment = {},
                   const std::filesystem::path& output = "/dev/null") {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables(environment);
    for (char** variable = environ; *variable != nullptr; ++variable) {
        variables.emplace_back(*variable);  // the earlier of two equal names wins in getenv
    }
    std::vector<char*> envp;
    for (const std::string& variable : variables) {
        envp.push_back(const_cast<char*>(variable.c_str()));
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t process = -1;
    if (posix_spawnp(&process, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        process = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return process;
}

inline Ending wait(pid_t process) {
    int status = 0;
    while (::waitpid(process, &status, 0) < 0 && errno == EINTR) {
    }
    return endingOf(status);
}

inline Ending run(const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment = {},
                  const std::filesystem::path& output = "/dev/null") {
    const pid_t process = start(arguments, environment, output);
    if (process < 0) {
        ADD_FAILURE() << "could not start " << arguments.at(0);
        return {};
    }
    return wait(process);
}

inline const std::string kProbe = ORBIN_FAULT_PROBE;

// The probe's run with the `nth` call of `syscall` failing with `error`; `injected` tells
// whether there was an nth call at all.
struct InjectedRun {
    Ending ending;
    bool injected = false;
};

inline InjectedRun runProbeFailing(const std::string& syscall, const std::string& error, int nth,
                                   const std::vector<std::string>& probeArguments) {
    const std::filesystem::path trace = test_files::sandbox() / "strace.log";
    std::vector<std::string> arguments = {
        "strace", "-f",
        "-o",     trace.string(),
        "-e",     "trace=" + syscall,
        "-e",     "inject=" + syscall + ":error=" + error + ":when=" + std::to_string(nth),
        kProbe};
    arguments.insert(arguments.end(), probeArguments.begin(), probeArguments.end());
    InjectedRun result;
    // LeakSanitizer cannot work under a tracer and would fail every traced run of the sanitizer
    // build.
    result.ending = run(arguments, {"ASAN_OPTIONS=detect_leaks=0"});
    result.injected = test_files::contentOf(trace).find("(INJECTED)") != std::string::npos;
    std::filesystem::remove(trace);
    return result;
}

}  // namespace process_test
