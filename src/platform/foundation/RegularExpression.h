#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

// A compiled regular expression in ICU's syntax, matched against UTF-8 text.
//
// ICU's engine keeps its backtracking on the heap under a limit, and each match runs under a
// work budget that grows with the text, so hostile input makes a match fail, never overflow the
// stack or hang; a failed match answers "no match". A pattern is made once and may then be
// matched from any thread. Throws `platform::Error` for a pattern that does not compile.
//
// Example:
//   const platform::RegularExpression digits("[0-9]+");
//   digits.matchesWhole("2024");                     // true
//   digits.firstMatch("year 2024")->text;            // "2024"
class RegularExpression {
public:
    enum class LetterCase { sensitive, ignored };

    // One match: its text and each capture group's text, group 1 first; none for a group that
    // took no part. All are views into the text that was searched.
    struct Match {
        std::string_view text;
        std::vector<std::optional<std::string_view>> groups;
    };

    explicit RegularExpression(std::string_view pattern,
                               LetterCase letterCase = LetterCase::sensitive);
    ~RegularExpression();

    // Whether the whole of `text` matches.
    bool matchesWhole(std::string_view text) const;

    // The leftmost match anywhere in `text`.
    std::optional<Match> firstMatch(std::string_view text) const;

private:
    struct Compiled;
    std::unique_ptr<const Compiled> compiled_;
};

}  // namespace platform
