#pragma once

#include "core/defs/definition_model.h"

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace cw {

// The folder of a definition set: defFolder itself when the set name is
// empty, else its subfolder of that name.
std::string definitionSetFolder(const std::string& defFolder, const std::string& definitionSet);

// The names of the subfolders of defFolder, sorted by name (byte order);
// empty when defFolder cannot be listed.
std::vector<std::string> listDefinitionSets(const std::string& defFolder);

// A new model from every "*.xml" file (extension in any letter case) of
// setFolder, taken in name order; subfolders are not searched. Files that
// cannot be read or parsed, or whose root is not Plugin, are skipped
// silently; a missing folder gives an empty model. Never throws for bad
// input and shows nothing.
//
// The files are read on as many threads as the machine has cores unless
// there are only a few. The model is the same whatever the number of
// threads, keys included: plugins join it, and draw their keys, in file
// order on the calling thread.
DefinitionModel loadDefinitions(const std::string& setFolder);
DefinitionModel loadDefinitions(const std::string& setFolder, KeyMaker& keys);
// On `threads` threads however many files there are (1: the calling thread
// alone).
DefinitionModel loadDefinitions(const std::string& setFolder, KeyMaker& keys, unsigned threads);

// Appends the plugin of one definition file to model, or nothing when the
// file cannot be used. The caller runs model.finishLoad() after the last one.
void loadDefinitionFile(const std::string& path, DefinitionModel& model, KeyMaker& keys);

// The element's text: all text and CDATA inside it, descendants included,
// without leading and trailing white space. "" for a null element, and "???"
// instead of "" when required.
std::string readElementText(const pugi::xml_node& element, bool required);

// The whole file as bytes, or "#error: file '<path>' does not exists!#"
// when it is missing or cannot be read.
std::string readTextFile(const std::string& path);

} // namespace cw
