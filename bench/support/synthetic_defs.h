#pragma once

#include <string>

namespace cw::bench {

// A generated definition set: `files` files Plugin<n>.xml in `folder`, each
// with `filtersPerFile` filters of 5 parameters. Filter titles mix letter
// case so that name sorting has to lower-case. Returns false when a file
// cannot be written.
bool writeSyntheticDefinitions(const std::string& folder, int files = 500, int filtersPerFile = 20);

// The title of a filter of that set.
std::string syntheticFilterTitle(int file, int filter, int filtersPerFile = 20);

} // namespace cw::bench
