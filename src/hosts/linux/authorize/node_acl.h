#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ulvren::authorize {

// A device node's access ACL as the kernel keeps it in the system.posix_acl_access attribute:
// a version word, then one 8-byte entry per tag (the owner, named users, the owning group, named
// groups, the mask, others). systemd-logind gives the seated user a named-user entry there.
struct AclEntry {
    std::uint16_t tag = 0;
    std::uint16_t permissions = 0;  // 4 read, 2 write, 1 execute
    std::uint32_t id = 0;

    bool operator==(const AclEntry&) const = default;
};

inline constexpr std::uint16_t kAclUserObject = 0x01;
inline constexpr std::uint16_t kAclUser = 0x02;
inline constexpr std::uint16_t kAclGroupObject = 0x04;
inline constexpr std::uint16_t kAclGroup = 0x08;
inline constexpr std::uint16_t kAclMask = 0x10;
inline constexpr std::uint16_t kAclOther = 0x20;

// Nothing for bytes that are not such an attribute.
std::optional<std::vector<AclEntry>> ParseAcl(std::string_view bytes);
std::string SerializeAcl(const std::vector<AclEntry>& entries);

// The ACL without its named-user entries. Without any named entry left, the mask goes too (the
// kernel then keeps the plain mode, with the owning group's permissions as its group bits);
// otherwise the mask is the union of what the remaining group-class entries allow.
std::vector<AclEntry> WithoutUserEntries(const std::vector<AclEntry>& entries);

// The users that a named-user entry lets read or write, after the mask.
std::vector<uid_t> UsersWithAccess(const std::vector<AclEntry>& entries);
// Whether a named-user entry lets `user` read and write, after the mask.
bool GivesReadWrite(const std::vector<AclEntry>& entries, uid_t user);

// The node's ACL; an empty list when it has none beyond its mode. Nothing, with the reason in
// `error`, when it cannot be read.
std::optional<std::vector<AclEntry>> ReadNodeAcl(const std::string& node, std::string& error);
// Removes every named-user entry from the node's ACL (never following a link).
bool RemoveUserEntries(const std::string& node, std::string& error);

}  // namespace ulvren::authorize
