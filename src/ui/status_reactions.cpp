#include "ui/status_reactions.h"

#include <cstddef>
#include <iterator>

#include "text/text_ids.h"

namespace ulvren {
namespace {

using namespace std::chrono_literals;

constexpr StatusReaction kRefreshOnly{};

constexpr StatusReaction Box(TextId text) {
    return {StatusDisplay::MessageBox, text};
}

constexpr StatusReaction Field(TextId text) {
    return {StatusDisplay::CapacityField, text};
}

// Every status a worker reports: its code, its name and what the window does with it.
struct StatusEntry {
    OperationStatus code;
    const char* name;
    StatusReaction reaction;
};

constexpr StatusEntry kStatuses[] = {
    {STATUS_OPEN_FAILED, "STATUS_OPEN_FAILED", kRefreshOnly},
    {STATUS_DETECT_DONE, "STATUS_DETECT_DONE", kRefreshOnly},
    {STATUS_DEVICE_NOT_FOUND, "STATUS_DEVICE_NOT_FOUND", Field(TEXT_DEVICE_NOT_FOUND)},
    {STATUS_FORMAT_OK,
     "STATUS_FORMAT_OK",
     {StatusDisplay::MessageBox, TEXT_FORMAT_OK, 2000ms, true}},
    {STATUS_FORMAT_FAILED, "STATUS_FORMAT_FAILED", Box(TEXT_FORMAT_FAILED)},
    {STATUS_OLD_PASSWORD_WRONG, "STATUS_OLD_PASSWORD_WRONG", Box(TEXT_OLD_PASSWORD_WRONG)},
    {STATUS_PASSWORD_CHANGED, "STATUS_PASSWORD_CHANGED", Box(TEXT_PASSWORD_CHANGED)},
    {STATUS_PASSWORD_CHANGE_FAILED, "STATUS_PASSWORD_CHANGE_FAILED",
     Box(TEXT_PASSWORD_CHANGE_FAILED)},
    {STATUS_LOGIN_OK, "STATUS_LOGIN_OK", {StatusDisplay::MessageBox, TEXT_LOGIN_OK, 2000ms}},
    {STATUS_LOGIN_FAILED, "STATUS_LOGIN_FAILED", Box(TEXT_LOGIN_FAILED)},
    {STATUS_CLOCK_SET, "STATUS_CLOCK_SET", Box(TEXT_CLOCK_SET)},
    {STATUS_CLOCK_SET_FAILED, "STATUS_CLOCK_SET_FAILED", Box(TEXT_CLOCK_SET_FAILED)},
    {STATUS_DISK_TYPE_SET, "STATUS_DISK_TYPE_SET", kRefreshOnly},
    {STATUS_DISK_TYPE_SET_FAILED, "STATUS_DISK_TYPE_SET_FAILED", kRefreshOnly},
    // The worker has written the capacity text.
    {STATUS_CAPACITY_OK, "STATUS_CAPACITY_OK", kRefreshOnly},
    // "Unknown capacity", rather than repeating a clock message in the capacity field.
    {STATUS_CAPACITY_UNKNOWN, "STATUS_CAPACITY_UNKNOWN", Field(TEXT_UNKNOWN_CAPACITY)},
    // The worker has written the disk-type index.
    {STATUS_DISK_TYPE_OK, "STATUS_DISK_TYPE_OK", kRefreshOnly},
    {STATUS_DISK_TYPE_UNKNOWN, "STATUS_DISK_TYPE_UNKNOWN", kRefreshOnly},
    // Instead of "Format failed!": the failure and its reason in one box.
    {STATUS_FORMAT_CAPACITY_OUTSIDE_FAT32, "STATUS_FORMAT_CAPACITY_OUTSIDE_FAT32",
     Box(TEXT_CAPACITY_OUTSIDE_FAT32)},
};

// Row n holds code n + 1, and every code has its row: a status is found by its number.
constexpr bool HoldsEveryCodeInOrder() {
    if (std::size(kStatuses) != static_cast<std::size_t>(kLastOperationStatus)) {
        return false;
    }
    for (std::size_t row = 0; row < std::size(kStatuses); ++row) {
        if (kStatuses[row].code != static_cast<int>(row + 1)) {
            return false;
        }
    }
    return true;
}
static_assert(HoldsEveryCodeInOrder(), "kStatuses needs one row per code, in the codes' order");

const StatusEntry* FindStatus(int code) {
    if (code < 1 || code > kLastOperationStatus) {
        return nullptr;
    }
    return &kStatuses[code - 1];
}

}  // namespace

const StatusReaction& ReactionTo(int status) {
    const StatusEntry* entry = FindStatus(status);
    return entry != nullptr ? entry->reaction : kRefreshOnly;
}

const char* OperationStatusName(int code) {
    const StatusEntry* entry = FindStatus(code);
    return entry != nullptr ? entry->name : "STATUS_UNKNOWN";
}

}  // namespace ulvren
