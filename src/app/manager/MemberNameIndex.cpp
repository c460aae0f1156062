#include "app/manager/MemberNameIndex.h"

#include "utility/StringExtensions.h"

MemberNameIndex::MemberNameIndex(const std::vector<CombineOutput::Member>& members) {
    firstPositionByKey_.reserve(members.size());
    for (std::size_t position = 0; position < members.size(); ++position) {
        add(members[position].name, position);
    }
}

std::optional<std::size_t> MemberNameIndex::firstMatch(std::string_view name) const {
    if (name.empty()) {
        return std::nullopt;
    }
    const auto found = firstPositionByKey_.find(lx::caseInsensitiveKey(name));
    if (found == firstPositionByKey_.end()) {
        return std::nullopt;
    }
    return found->second;
}

// Entries with an empty name are recorded too: no name finds them, but recording them keeps
// the index a plain function of the list.
void MemberNameIndex::add(std::string_view name, std::size_t position) {
    firstPositionByKey_.try_emplace(lx::caseInsensitiveKey(name), position);
}
