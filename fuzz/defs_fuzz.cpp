// One definition file per input: written into a private set folder, loaded,
// then every filter's call text and description is built from the model.
//   ./defs_fuzz -max_len=65536 corpus/defs
#include "core/browser/filter_description.h"
#include "core/defs/definition_loader.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::string& setFolder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/cw-defs-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = setFolder() + "/Plugin.xml";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    unsigned state = 7;
    cw::KeyMaker keys({12, 34}, [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<double>(state >> 8) / 16777216.0;
    });
    cw::DefinitionModel model;
    cw::loadDefinitionFile(path, model, keys);
    model.finishLoad();
    for (const cw::CPlugin& plugin : model.plugins()) {
        for (const cw::CFilter& filter : plugin.filters) {
            if (cw::getFilterCallText(model, filter.title) == "") std::abort();
            const auto description = cw::describeFilter(model, filter.key, "\n");
            if (!description || description->bold.size() != filter.parameters.size() + 1) std::abort();
        }
    }
    for (const std::string& name : model.filterNames()) model.findNameIndex(name.substr(0, 3));
    return 0;
}
