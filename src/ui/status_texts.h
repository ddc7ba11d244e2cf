#pragma once

#include <optional>

#include "operations/operation_status.h"
#include "text/text_id.h"

namespace ulvren {

// The catalogue text that a status puts in front of the user: in a message box for the outcome
// of a button, in the capacity field for the detection's "not found" and "unknown capacity".
// Empty for the statuses that only refresh the window.
std::optional<TextId> MessageTextFor(int status);

// Whether a status shows its text in the capacity field rather than in a message box.
bool ShowsInCapacityField(int status);

}  // namespace ulvren
