#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// One person of a project's team: an id unique within the team, a name with its lower-case
// initials, an optional photo id and e-mail address, and a cost rate.
//
// Shared, made by `create()`, never copied (`clone()` makes an independent member with the same
// values): a team, the tasks that name the member as contact person or assign it, and the
// combine engine may all hold the same member. No lock of its own: a member is changed by the
// one thread that builds or edits its project.
//
// Example:
//   auto member = OrbProjectMember::create(3, "Kato Vey");   // initials "kv", cost rate 1.0
//   member->setCostRate(-2.0f);                               // stored as 0
class OrbProjectMember {
public:
    // The rate is stored as given, a negative one too; none gives 1.0.
    static std::shared_ptr<OrbProjectMember> create(
        std::int64_t id, std::string name, std::optional<std::string> photoid = std::nullopt,
        std::optional<std::string> email = std::nullopt,
        std::optional<float> costrate = std::nullopt);

    OrbProjectMember(const OrbProjectMember&) = delete;
    OrbProjectMember& operator=(const OrbProjectMember&) = delete;

    std::int64_t id() const { return _id; }

    const std::string& name() const { return _name; }
    // Both store the name and derive the initials from it: the first character, lower-cased, of
    // each word between single spaces that is not blank ("  Kato   Vey " gives "kv").
    void setName(std::string name) { updateName(std::move(name)); }
    void updateName(std::string name);
    const std::string& initialsName() const { return _initialsName; }

    const std::optional<std::string>& photoid() const { return photoid_; }
    void setPhotoid(std::optional<std::string> photoid) { photoid_ = std::move(photoid); }
    const std::optional<std::string>& email() const { return email_; }
    void setEmail(std::optional<std::string> email) { email_ = std::move(email); }

    float costRate() const { return costRate_; }
    // A negative rate (or one that is not a number) is stored as 0.
    void setCostRate(float costRate);

    // A new member with the same id, name, photo id, e-mail and cost rate.
    std::shared_ptr<OrbProjectMember> clone() const;

private:
    OrbProjectMember(std::int64_t id, std::string name, std::optional<std::string> photoid,
                     std::optional<std::string> email, float costRate);

    const std::int64_t _id;
    std::string _initialsName;
    std::string _name;
    std::optional<std::string> photoid_;
    std::optional<std::string> email_;
    float costRate_;
};
