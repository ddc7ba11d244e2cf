#include "hosts/linux/authorize/node_acl.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <system_error>

namespace ulvren::authorize {
namespace {

constexpr const char* kAccessAclAttribute = "system.posix_acl_access";
constexpr std::uint32_t kAclVersion = 2;
constexpr std::size_t kEntrySize = 8;
constexpr std::uint16_t kReadWrite = 6;

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

void AppendLittleEndian(std::string& bytes, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

bool Failure(std::string& error, const std::string& what, int number) {
    error = what + ": " + std::generic_category().message(number);
    return false;
}

}  // namespace

std::optional<std::vector<AclEntry>> ParseAcl(std::string_view bytes) {
    if (bytes.size() < 4 || (bytes.size() - 4) % kEntrySize != 0 ||
        LittleEndian(bytes, 0, 4) != kAclVersion) {
        return std::nullopt;
    }
    std::vector<AclEntry> entries;
    for (std::size_t at = 4; at < bytes.size(); at += kEntrySize) {
        entries.push_back({static_cast<std::uint16_t>(LittleEndian(bytes, at, 2)),
                           static_cast<std::uint16_t>(LittleEndian(bytes, at + 2, 2)),
                           LittleEndian(bytes, at + 4, 4)});
    }
    return entries;
}

std::string SerializeAcl(const std::vector<AclEntry>& entries) {
    std::string bytes;
    AppendLittleEndian(bytes, kAclVersion, 4);
    for (const AclEntry& entry : entries) {
        AppendLittleEndian(bytes, entry.tag, 2);
        AppendLittleEndian(bytes, entry.permissions, 2);
        AppendLittleEndian(bytes, entry.id, 4);
    }
    return bytes;
}

std::vector<AclEntry> WithoutUserEntries(const std::vector<AclEntry>& entries) {
    std::vector<AclEntry> kept;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(kept),
                 [](const AclEntry& entry) { return entry.tag != kAclUser; });
    const bool named_groups = std::any_of(
        kept.begin(), kept.end(), [](const AclEntry& entry) { return entry.tag == kAclGroup; });
    std::uint16_t group_class = 0;
    for (const AclEntry& entry : kept) {
        if (entry.tag == kAclGroupObject || entry.tag == kAclGroup) {
            group_class |= entry.permissions;
        }
    }
    std::vector<AclEntry> result;
    for (AclEntry entry : kept) {
        if (entry.tag == kAclMask) {
            if (!named_groups) {
                continue;
            }
            entry.permissions = group_class;
        }
        result.push_back(entry);
    }
    return result;
}

namespace {

std::uint16_t MaskOf(const std::vector<AclEntry>& entries) {
    for (const AclEntry& entry : entries) {
        if (entry.tag == kAclMask) {
            return entry.permissions;
        }
    }
    return 7;
}

}  // namespace

std::vector<uid_t> UsersWithAccess(const std::vector<AclEntry>& entries) {
    const std::uint16_t mask = MaskOf(entries);
    std::vector<uid_t> users;
    for (const AclEntry& entry : entries) {
        if (entry.tag == kAclUser && (entry.permissions & mask & kReadWrite) != 0) {
            users.push_back(entry.id);
        }
    }
    return users;
}

bool GivesReadWrite(const std::vector<AclEntry>& entries, uid_t user) {
    const std::uint16_t mask = MaskOf(entries);
    return std::any_of(entries.begin(), entries.end(), [&](const AclEntry& entry) {
        return entry.tag == kAclUser && entry.id == user &&
               (entry.permissions & mask & kReadWrite) == kReadWrite;
    });
}

std::optional<std::vector<AclEntry>> ReadNodeAcl(const std::string& node, std::string& error) {
    struct stat status {};
    if (::lstat(node.c_str(), &status) != 0) {
        Failure(error, "cannot look at " + node, errno);
        return std::nullopt;
    }
    if (!S_ISBLK(status.st_mode) && !S_ISCHR(status.st_mode)) {
        Failure(error, "cannot use " + node, ENODEV);
        return std::nullopt;
    }
    char bytes[4 + 32 * kEntrySize];
    const ssize_t size = ::lgetxattr(node.c_str(), kAccessAclAttribute, bytes, sizeof bytes);
    if (size < 0 && errno == ENODATA) {
        return std::vector<AclEntry>{};
    }
    if (size < 0) {
        Failure(error, "cannot read the ACL of " + node, errno);
        return std::nullopt;
    }
    auto entries = ParseAcl(std::string_view(bytes, static_cast<std::size_t>(size)));
    if (!entries) {
        Failure(error, "cannot read the ACL of " + node, EINVAL);
    }
    return entries;
}

bool RemoveUserEntries(const std::string& node, std::string& error) {
    const auto entries = ReadNodeAcl(node, error);
    if (!entries) {
        return false;
    }
    if (UsersWithAccess(*entries).empty() &&
        std::none_of(entries->begin(), entries->end(),
                     [](const AclEntry& entry) { return entry.tag == kAclUser; })) {
        return true;
    }
    // A minimal ACL (owner, owning group, others) written back makes the kernel drop the
    // attribute and set the mode's group bits from the owning group's entry.
    const std::string bytes = SerializeAcl(WithoutUserEntries(*entries));
    if (::lsetxattr(node.c_str(), kAccessAclAttribute, bytes.data(), bytes.size(), 0) != 0) {
        return Failure(error, "cannot change the ACL of " + node, errno);
    }
    return true;
}

}  // namespace ulvren::authorize
