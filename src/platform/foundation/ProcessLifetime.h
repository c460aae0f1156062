#pragma once

namespace platform {

// What the application's process sets up at its start and undoes at its end, so that neither a
// failing disk nor an interruption leaves it half-done.
//
// Made once, first thing in main(), before any other thread exists:
// - SIGXFSZ is ignored, so a write past the file-size limit fails with EFBIG and the writer's
//   own clean-up runs, instead of the process dying with a hidden temporary beside the file;
// - private temporary folders that earlier processes of this user left behind are removed;
// - SIGINT, SIGTERM and SIGHUP (the terminal closed) remove this process's private temporary
//   folders and the temporary siblings of the files being written (AtomicFileWriter) before
//   they end it, and so does exit() (Qt calls it when the display connection is lost).
// Its destruction, at the end of main(), removes them on a normal quit.
//
// Example:
//   int main(int argc, char* argv[]) {
//       platform::ProcessLifetime lifetime;
//       ...
//   }
class ProcessLifetime {
public:
    ProcessLifetime();
    ~ProcessLifetime();
    ProcessLifetime(const ProcessLifetime&) = delete;
    ProcessLifetime& operator=(const ProcessLifetime&) = delete;
};

}  // namespace platform
