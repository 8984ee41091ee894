#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tunnelkit {

// One ssh_config(5) keyword the system knows: how it is spelled, how it is shown, what it takes,
// who may set it, and whether it can make ssh start another program.
struct SSHOption {
    enum class Group {
        connection,
        keepAlive,
        forwarding,
        proxy,
        hostKeys,
        authentication,
        algorithms,
        canonicalization,
        commands
    };
    static constexpr std::array<Group, 9> allGroups{
        Group::connection,     Group::keepAlive,  Group::forwarding,       Group::proxy,   Group::hostKeys,
        Group::authentication, Group::algorithms, Group::canonicalization, Group::commands};

    struct Choice {
        std::vector<std::string> words;
        bool operator==(const Choice&) const = default;
    };
    struct Integer {
        bool operator==(const Integer&) const = default;
    };
    struct Text {
        bool operator==(const Text&) const = default;
    };
    using Kind = std::variant<Choice, Integer, Text>;

    enum class Ownership { user, field, app };

    std::string name;
    Group group = Group::connection;
    Kind kind = Text{};
    Ownership ownership = Ownership::user;
    bool executesCommands = false;

    const std::string& id() const { return name; }
    // The option's entry in the online ssh_config(5) manual.
    std::string helpURL() const;

    bool operator==(const SSHOption&) const = default;
};

std::string_view rawValue(SSHOption::Group group);
std::optional<SSHOption::Group> groupFromRawValue(std::string_view raw);

namespace SSHOptionCatalog {

const std::vector<SSHOption>& all();
// Letter case is ignored; blanks are not trimmed.
const SSHOption* option(std::string_view name);
const std::vector<SSHOption>& userOptions();
// Lower-cased names a tunnel may set more than once.
const std::set<std::string>& repeatableOptions();

inline constexpr std::string_view manualBaseURL = "https://man.openbsd.org/";

} // namespace SSHOptionCatalog
} // namespace tunnelkit
