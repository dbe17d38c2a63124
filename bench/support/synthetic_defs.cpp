#include "synthetic_defs.h"

#include <filesystem>
#include <fstream>

namespace cw::bench {

std::string syntheticFilterTitle(int file, int filter, int filtersPerFile)
{
    static const char* const stems[] = {"Blur", "sharpen", "AddBorders", "crop", "Levels", "tweak"};
    return std::string(stems[(file + filter) % 6]) + std::to_string(file * filtersPerFile + filter);
}

bool writeSyntheticDefinitions(const std::string& folder, int files, int filtersPerFile)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (int file = 0; file < files; ++file) {
        std::ofstream out(folder + "/Plugin" + std::to_string(file) + ".xml", std::ios::binary | std::ios::trunc);
        out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Plugin>\n  <Description>Generated plugin " << file
            << "</Description>\n  <Filters>\n";
        for (int filter = 0; filter < filtersPerFile; ++filter) {
            out << "    <Filter>\n      <Name>" << syntheticFilterTitle(file, filter, filtersPerFile)
                << "</Name>\n      <Category>Cat" << (file % 40) << "</Category>\n      <Description>Does thing "
                << filter << " to the clip.</Description>\n      <Parameters>\n";
            for (int p = 0; p < 5; ++p) {
                out << "        <Parameter><Name>arg" << p << "</Name><Type>" << (p == 0 ? "clip" : "int")
                    << "</Type><Description>Argument " << p << "</Description><Min>0</Min><Max>255</Max>"
                    << "<Default>1</Default><Optional>" << (p > 1 ? "true" : "false") << "</Optional>"
                    << "</Parameter>\n";
            }
            out << "      </Parameters>\n    </Filter>\n";
        }
        out << "  </Filters>\n</Plugin>\n";
        if (!out.flush()) return false;
    }
    return true;
}

} // namespace cw::bench
