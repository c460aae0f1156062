#pragma once

#include <cstddef>
#include <optional>
#include <string>

class OrbProject;

// The document text of a project, written straight from the model: the text
// JsonProjectData::jsonString() writes for DataMapService::map(project), byte for byte, without
// the whole record tree ever existing beside it. Each task's record is made just before it is
// written and dropped once its subtree is, so the text, the model and one record per level of
// the tree are all the memory it takes. It goes one call deeper per level of the tree, as far
// as the writer's nesting limit lets it before that fails the text.
//
// `expectedSize` is the room taken for the text at once (an earlier text of the same project is
// a good guess); a larger text grows beyond it. None when a value cannot be written (see
// JsonProjectData::jsonString()) or there is no memory for the text; nothing is thrown.
//
// Example:
//   const std::optional<std::string> text = projectDocumentText(*project, previousSize);
std::optional<std::string> projectDocumentText(const OrbProject& project,
                                               std::size_t expectedSize = 0);
