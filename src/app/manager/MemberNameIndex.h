#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/manager/CombineOutput.h"

// Finds the first entry of the merged team whose name equals a trimmed name with case ignored,
// by lookup: merging and checking a team costs the size of the two teams, not their product.
//
// Entries are known by the caseless key of their name (`lx::caseInsensitiveKey`), so a name
// finds exactly the entries `lx::isCaseInsensitiveSame` would accept, and of those the one
// nearest the front. A value type; it does not watch the list it was made from.
//
// Example:
//   MemberNameIndex index(profile.members);
//   if (auto at = index.firstMatch("ann")) { profile.members[*at].sources.push_back(...); }
class MemberNameIndex {
public:
    explicit MemberNameIndex(const std::vector<CombineOutput::Member>& members);

    // The position of the first entry whose name matches `name`; none for the empty name,
    // which stands for nobody in particular.
    std::optional<std::size_t> firstMatch(std::string_view name) const;

    // Records an entry of `name` at `position`, behind every entry known so far; an earlier
    // entry of the same name stays the first match.
    void add(std::string_view name, std::size_t position);

private:
    std::unordered_map<std::string, std::size_t> firstPositionByKey_;
};
