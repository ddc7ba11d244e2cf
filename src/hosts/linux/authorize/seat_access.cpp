#include "hosts/linux/authorize/seat_access.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "hosts/linux/authorize/node_acl.h"

namespace ulvren::authorize {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

template <typename Each>
void ForEachLine(std::string_view text, Each each) {
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        each(std::string_view(line));
    }
}

}  // namespace

NodeSeating ParseUdevDatabase(std::string_view text) {
    NodeSeating seating;
    ForEachLine(text, [&](std::string_view line) {
        if (line == "Q:uaccess") {
            seating.uaccess = true;
        } else if (line.starts_with("E:ID_SEAT=") && line.size() > 10) {
            seating.seat = line.substr(10);
        }
    });
    return seating;
}

std::optional<uid_t> ParseActiveUser(std::string_view text) {
    std::optional<uid_t> user;
    ForEachLine(text, [&](std::string_view line) {
        constexpr std::string_view kKey = "ACTIVE_UID=";
        uid_t uid = 0;
        if (line.starts_with(kKey) &&
            std::from_chars(line.data() + kKey.size(), line.data() + line.size(), uid).ec ==
                std::errc()) {
            user = uid;
        }
    });
    return user;
}

std::optional<NodeSeating> SeatingOf(const std::string& node, std::string& error,
                                     const std::string& run) {
    struct stat status {};
    if (::lstat(node.c_str(), &status) != 0 ||
        (!S_ISBLK(status.st_mode) && !S_ISCHR(status.st_mode))) {
        error = "cannot look at " + node + ": " +
                std::generic_category().message(errno != 0 ? errno : ENODEV);
        return std::nullopt;
    }
    const std::string id = (S_ISBLK(status.st_mode) ? "b" : "c") +
                           std::to_string(major(status.st_rdev)) + ":" +
                           std::to_string(minor(status.st_rdev));
    return ParseUdevDatabase(ReadFile(run + "/udev/data/" + id));
}

std::optional<uid_t> ActiveUserOf(const std::string& seat, const std::string& run) {
    // A seat name is a word of letters, digits, "-" and "_" (logind refuses others).
    const bool plain = !seat.empty() && std::all_of(seat.begin(), seat.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
    return plain ? ParseActiveUser(ReadFile(run + "/systemd/seats/" + seat)) : std::nullopt;
}

namespace {

// Hands `act` each node with what udev says of it; a node whose state cannot be read goes into
// `problems` instead.
template <typename Act>
void ForEachSeating(const std::vector<std::string>& nodes, std::vector<std::string>& problems,
                    Act act) {
    for (const std::string& node : nodes) {
        std::string error;
        const auto seating = SeatingOf(node, error);
        if (seating) {
            act(node, *seating);
        } else {
            problems.push_back(error);
        }
    }
}

}  // namespace

void TakeBackUntaggedAccess(const std::vector<std::string>& nodes,
                            std::vector<std::string>& problems) {
    ForEachSeating(nodes, problems, [&](const std::string& node, const NodeSeating& seating) {
        if (seating.uaccess) {
            return;
        }
        std::string error;
        const auto acl = RemoveUserEntries(node, error) ? ReadNodeAcl(node, error) : std::nullopt;
        if (!acl) {
            problems.push_back(error);
        } else if (!UsersWithAccess(*acl).empty()) {
            problems.push_back(node + " still gives user " +
                               std::to_string(UsersWithAccess(*acl).front()) + " access");
        }
    });
}

void CheckSeatedAccess(const std::vector<std::string>& nodes, std::vector<std::string>& problems,
                       std::vector<std::string>& notes) {
    ForEachSeating(nodes, problems, [&](const std::string& node, const NodeSeating& seating) {
        if (!seating.uaccess) {
            problems.push_back("udev did not tag " + node + " \"uaccess\"");
            return;
        }
        const auto user = ActiveUserOf(seating.seat);
        if (!user) {
            notes.push_back("nobody is seated at " + seating.seat + ": " + node +
                            " opens for whoever logs in there next");
            return;
        }
        std::string error;
        const auto acl = ReadNodeAcl(node, error);
        if (!acl) {
            problems.push_back(error);
            return;
        }
        // logind gives read and write together; both are needed.
        if (!GivesReadWrite(*acl, *user)) {
            problems.push_back("the seated user " + std::to_string(*user) +
                               " was not given read-write access to " + node);
        }
    });
}

}  // namespace ulvren::authorize
