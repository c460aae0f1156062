#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"

#include "platform/foundation/UnicodeText.h"
#include "utility/StringExtensions.h"

namespace {

constexpr float kDefaultCostRate = 1.0f;

}  // namespace

std::shared_ptr<OrbProjectMember> OrbProjectMember::create(std::int64_t id, std::string name,
                                                           std::optional<std::string> photoid,
                                                           std::optional<std::string> email,
                                                           std::optional<float> costrate) {
    return std::shared_ptr<OrbProjectMember>(
        new OrbProjectMember(id, std::move(name), std::move(photoid), std::move(email),
                             costrate.value_or(kDefaultCostRate)));
}

OrbProjectMember::OrbProjectMember(std::int64_t id, std::string name,
                                   std::optional<std::string> photoid,
                                   std::optional<std::string> email, float costRate)
    : _id(id), photoid_(std::move(photoid)), email_(std::move(email)), costRate_(costRate) {
    updateName(std::move(name));
}

// Only single spaces separate the words: a tab belongs to its word, and the texts between
// repeated spaces are blank and give no initial. A character is a whole grapheme, so an accent
// written as a combining mark stays with its letter.
void OrbProjectMember::updateName(std::string name) {
    _name = std::move(name);
    _initialsName.clear();
    if (_name.empty()) {
        return;
    }
    for (const std::string& word : lx::splitted(_name, " ")) {
        if (!lx::isBlank(word)) {
            _initialsName += platform::lowercased(lx::subscript(word, 0));
        }
    }
}

void OrbProjectMember::setCostRate(float costRate) {
    costRate_ = costRate >= 0.0f ? costRate : 0.0f;
}

std::shared_ptr<OrbProjectMember> OrbProjectMember::clone() const {
    return std::shared_ptr<OrbProjectMember>(
        new OrbProjectMember(_id, _name, photoid_, email_, costRate_));
}
