#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ulvren::authorize {

// What udev and logind have made of a device node: whether its latest event left it the
// "uaccess" tag (logind gives and moves ACLs only on such nodes), and which seat it belongs to.
struct NodeSeating {
    bool uaccess = false;
    std::string seat = "seat0";
};

// From the text of udev's database entry of the node (/run/udev/data/b8:16 and the like): "Q:"
// lines are the tags of the latest event, "E:ID_SEAT=" the seat.
NodeSeating ParseUdevDatabase(std::string_view text);
// From logind's state file of a seat (/run/systemd/seats/seat0): the user of its active session.
std::optional<uid_t> ParseActiveUser(std::string_view text);

// Reads both for the node `node` (udev's database under `run`, "/run" but for tests). Nothing,
// with the reason in `error`, when the node is not a device node.
std::optional<NodeSeating> SeatingOf(const std::string& node, std::string& error,
                                     const std::string& run = "/run");
std::optional<uid_t> ActiveUserOf(const std::string& seat, const std::string& run = "/run");

// After a revocation: the nodes that no longer carry the tag lose every named-user ACL entry, and
// then none may give a user access. One line per node that still gives access (or cannot be
// checked) in `problems`; tagged nodes are logind's to manage and are left alone.
void TakeBackUntaggedAccess(const std::vector<std::string>& nodes,
                            std::vector<std::string>& problems);
// After an authorisation: each node carries the tag and, when someone is seated at its seat,
// gives that user read-write access. One line per shortfall in `problems`; `notes` says when
// nobody is seated.
void CheckSeatedAccess(const std::vector<std::string>& nodes, std::vector<std::string>& problems,
                       std::vector<std::string>& notes);

}  // namespace ulvren::authorize
