#pragma once

namespace ulvren {

// The number of a catalogue text. Texts 1 to 34 are defined; their named constants
// (TEXT_FORMAT_OK and so on) are in "text/text_ids.h", made from the catalogue's data file.
using TextId = unsigned int;

}  // namespace ulvren
