#pragma once

#include "core/defs/definition_model.h"

#include <span>
#include <string>

namespace cw {

// The definition file of one plugin, in UTF-8, as the loader reads it back:
// every text the plugin, its filters and their parameters hold (keys, file
// paths and help files of plugins aside); empty elements are left out.
std::string definitionFileText(const CPlugin& plugin);

// Writes the set `name` into defFolder: one file "<title>.xml" per plugin,
// each through the atomic writer, into a hidden folder that then takes the
// set's name in one step. A set already there is replaced whole, never mixed
// with the new one; on failure it stays as it was. "" on success, else the
// path and the reason. Titles and the name must be usable as file names.
std::string writeDefinitionSet(const std::string& defFolder, const std::string& name,
                               std::span<const CPlugin> plugins);

} // namespace cw
