#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "LxLog/Log.h"
#include "support/LogCapture.h"

namespace {

using Log::Level;

const platform::CallSite kSite("combine()", "/src/app/CombineManager.cpp", 7);
const std::string kSuffix = " \t{ (/src/app/CombineManager.cpp).(combine()).(#7) }";

void logAt(Level level, const std::string& message, const platform::CallSite& site = kSite) {
    switch (level) {
        case Level::verbose:
            return Log::verbose(message, site);
        case Level::debug:
            return Log::debug(message, site);
        case Level::info:
            return Log::info(message, site);
        case Level::warning:
            return Log::warning(message, site);
        case Level::error:
            return Log::error(message, site);
        case Level::fatal:
            return Log::fatal(message, site);
    }
}

TEST(Log, EveryLevelWritesItsTagAndOnlyTheUpperThreeTheirLocation) {
    struct Case {
        Level level;
        std::string line;
    };
    const Case cases[] = {
        {Level::verbose, "[\xF0\x9F\xA5\x9A verbose] hello\n"},
        {Level::debug, "[\xF0\x9F\x8D\x9A debug] hello\n"},
        {Level::info, "[\xF0\x9F\x93\xA8 info] hello\n"},
        {Level::warning, "[\xF0\x9F\x94\x94 warning] hello" + kSuffix + "\n"},
        {Level::error, "[\xF0\x9F\x94\xB4 error] hello" + kSuffix + "\n"},
        {Level::fatal, "[\xF0\x9F\x94\xA5 severe] hello" + kSuffix + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        LogCapture capture;
        logAt(c.level, "hello");  // fatal returns like every other level
        EXPECT_EQ(capture.lines(), std::vector<std::string>{c.line});
    }
}

// No text reaches the terminal raw: control characters other than the message's own line feeds
// and tabs are written as "\xNN"; escaped() does the same to line feeds and tabs, for text read
// from a file, which must not be able to start a line of its own.
TEST(Log, ControlCharactersAreEscaped) {
    const struct {
        std::string message;
        std::string written;
    } cases[] = {
        {std::string("id a\0b", 6), "id a\\x00b"},
        {"\x1B[2Jcleared\r\x7F", "\\x1B[2Jcleared\\x0D\\x7F"},
        {"caf\xC3\xA9 \xF0\x9F\x93\xA8", "caf\xC3\xA9 \xF0\x9F\x93\xA8"},
        // The C1 controls, as bytes and as UTF-8, the way escaped() writes them.
        {"\x9B"
         "2J \xC2\x9B"
         "2J \xE2\x82\xAC",
         "\\x9B2J \\xC2\\x9B2J \xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        LogCapture capture;
        Log::info(c.message);
        EXPECT_EQ(capture.lines(),
                  std::vector<std::string>{"[\xF0\x9F\x93\xA8 info] " + c.written + "\n"});
    }
}

// escaped() also takes line feeds and tabs, and the C1 controls an 8-bit or a UTF-8 terminal
// would act on, while well-formed characters stay readable.
TEST(Log, EscapedTextHoldsNoControlOfEitherKind) {
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {std::string("a\nb\tc\0", 6), "a\\x0Ab\\x09c\\x00"},
        {"plain text", "plain text"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xA8 \xC2\xA0",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xA8 \xC2\xA0"},
        {"\x9B"
         "2J\x90x\x9Cy\x80\x9F",
         "\\x9B2J\\x90x\\x9Cy\\x80\\x9F"},  // C1 bytes in a text that is not UTF-8
        {"\xC2\x9B"
         "2J\xC2\x85\xC2\x80\xC2\x9F",
         "\\xC2\\x9B2J\\xC2\\x85\\xC2\\x80\\xC2\\x9F"},  // U+009B, U+0085, U+0080, U+009F
        {"Latin-1 caf\xE9 \xA0\xFF", "Latin-1 caf\xE9 \xA0\xFF"},
        {"\xE2\x82\x9B", "\xE2\x82\x9B"},  // U+209B: 0x82 and 0x9B inside a character
        {"\xE2\x9Bx", "\xE2\\x9Bx"},       // a character cut short
        {"\xC0\x9B \xED\xA0\x80", "\xC0\\x9B \xED\xA0\\x80"},  // overlong, a surrogate
        {"\xC2", "\xC2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(Log::escaped(c.text), c.escaped);
    }
}

TEST(Log, MessagesArePrintedVerbatim) {
    struct Case {
        Level level;
        std::string message;
        std::string line;
    };
    const Case cases[] = {
        {Level::info, "", "[\xF0\x9F\x93\xA8 info] \n"},
        {Level::warning, "100%s done\nnext %d",
         "[\xF0\x9F\x94\x94 warning] 100%s done\nnext %d" + kSuffix + "\n"},
        {Level::debug, "tab\there", "[\xF0\x9F\x8D\x9A debug] tab\there\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        LogCapture capture;
        logAt(c.level, c.message);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{c.line});
    }
}

TEST(Log, NegativeLineNumberKeepsItsSign) {
    LogCapture capture;
    Log::error("x", platform::CallSite("f()", "/a.cpp", -12));
    EXPECT_EQ(capture.lines().at(0), "[\xF0\x9F\x94\xB4 error] x \t{ (/a.cpp).(f()).(#-12) }\n");
}

TEST(Log, DefaultLocationIsTheCaller) {
    LogCapture capture;
    const int line = __LINE__ + 1;
    Log::warning("here");

    const std::string written = capture.lines().at(0);
    EXPECT_NE(written.find("LogTests.cpp).("), std::string::npos) << written;
    EXPECT_TRUE(written.ends_with(").(#" + std::to_string(line) + ") }\n")) << written;
}

TEST(Log, MessageCallableRunsExactlyOncePerCall) {
    for (Level level :
         {Level::verbose, Level::debug, Level::info, Level::warning, Level::error, Level::fatal}) {
        LogCapture capture;
        int calls = 0;
        const auto message = [&calls] {
            ++calls;
            return std::string("counted");
        };
        switch (level) {
            case Level::verbose:
                Log::verbose(message);
                break;
            case Level::debug:
                Log::debug(message);
                break;
            case Level::info:
                Log::info(message);
                break;
            case Level::warning:
                Log::warning(message);
                break;
            case Level::error:
                Log::error(message);
                break;
            case Level::fatal:
                Log::fatal(message);
                break;
        }
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(capture.contains("] counted"));
    }
}

// Lines from many threads reach standard output whole, never interleaved.
TEST(Log, ConcurrentLinesOnStandardOutputStayWhole) {
    const std::string path = std::string(std::getenv("TMPDIR")) + "/stdout.txt";
    std::fflush(stdout);
    const int savedStdout = dup(STDOUT_FILENO);
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    dup2(fileno(file), STDOUT_FILENO);

    constexpr int kThreads = 8;
    constexpr int kLinesPerThread = 200;
    const std::string payload(300, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLinesPerThread; ++i) {
                Log::warning("thread " + std::to_string(t) + " " + payload, kSite);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::fflush(stdout);
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
    std::fclose(file);

    std::ifstream written(path);
    std::string line;
    int count = 0;
    while (std::getline(written, line)) {
        ++count;
        EXPECT_TRUE(line.starts_with("[\xF0\x9F\x94\x94 warning] thread ")) << line;
        EXPECT_TRUE(line.ends_with(payload + kSuffix)) << line;
    }
    EXPECT_EQ(count, kThreads * kLinesPerThread);
}

}  // namespace
