#pragma once

#include <optional>
#include <string_view>

#include "LxOrbinDocument/Json/JsonProject.h"
#include "platform/json/Value.h"

namespace jsonRecord {

// Reads a whole project document from its text straight into the records, without a parsed
// document in between, and without recursion: the JSON layer's depth limit bounds the nesting.
// Dates are read with the decoder's date strategy. A top-level null gives none.
//
// Reads exactly what JsonProject::decode reads from the parsed text, with the same errors, each
// naming the path to the offending value ("Root.Childs[2].Type"); the first error stops the
// reading. Two differences: of a key given twice in one object, the parsed text keeps only the
// later value, while this reader also judges the earlier one, so a bad earlier value refuses
// the document here; and the text is parsed by the JSON layer's document parser
// (saxParseDocument), whose not-JSON errors name the problem in its own words, and which also
// refuses a NUL byte after the value.
std::optional<JsonProject> readProjectDocument(std::string_view text,
                                               const platform::json::Decoder& decoder);

}  // namespace jsonRecord
