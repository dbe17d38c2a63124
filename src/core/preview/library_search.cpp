#include "core/preview/library_search.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <glob.h>
#include <system_error>

namespace fs = std::filesystem;

namespace cw {

namespace {

const char* const kLibraryNames[] = {"libavisynth.so", "libavisynth.so.12", "libavisynth.so.11",
                                     "libavisynth.so.10", "libavisynth.so.9"};

void addFolder(std::vector<std::string>& folders, std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
        folders.push_back(std::move(folder));
}

std::vector<std::string> splitOn(const std::string& text, const char* separators)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= text.size()) {
        const auto to = std::min(text.find_first_of(separators, from), text.size());
        if (to > from) parts.push_back(text.substr(from, to - from));
        from = to + 1;
    }
    return parts;
}

void addFoldersOf(std::vector<std::string>& folders, const char* list)
{
    if (list)
        for (std::string& folder : splitOn(list, ":;")) addFolder(folders, std::move(folder));
}

std::vector<std::string> globbed(const std::string& pattern)
{
    std::vector<std::string> paths;
    glob_t found{};
    if (::glob(pattern.c_str(), 0, nullptr, &found) == 0)
        paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
    ::globfree(&found);
    std::sort(paths.begin(), paths.end());
    return paths;
}

void readLdSoConf(const std::string& path, std::vector<std::string>& folders, int depth)
{
    if (depth > 8) return; // an include cycle ends here
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::vector<std::string> words = splitOn(line, " \t\r,:=");
        if (words.empty() || words[0] == "hwcap") continue;
        if (words[0] == "include") {
            for (std::size_t i = 1; i < words.size(); ++i) {
                std::string pattern = words[i];
                if (pattern[0] != '/') pattern = fs::path(path).parent_path().string() + "/" + pattern;
                for (const std::string& included : globbed(pattern)) readLdSoConf(included, folders, depth + 1);
            }
            continue;
        }
        for (std::string& word : words)
            if (word[0] == '/') addFolder(folders, std::move(word));
    }
}

} // namespace

std::vector<std::string> aviSynthLibraryFolders(const EnvLookup& env, const std::string& ldSoConf)
{
    std::vector<std::string> folders;
    addFoldersOf(folders, env(aviSynthLibraryVariable));
    addFoldersOf(folders, env("LD_LIBRARY_PATH"));
    // Where tools/install-avisynth puts it by default; a user's own build
    // comes before a system-wide one.
    if (const char* home = env("HOME"); home && home[0] == '/')
        addFolder(folders, (fs::path(home) / ".local/lib").string());
    readLdSoConf(ldSoConf, folders, 0);
    for (const char* folder : {"/lib", "/usr/lib", "/lib64", "/usr/lib64"}) addFolder(folders, folder);
    return folders;
}

std::vector<std::string> aviSynthLibraryCandidates(const EnvLookup& env, const std::string& ldSoConf)
{
    const std::vector<std::string> folders = aviSynthLibraryFolders(env, ldSoConf);
    std::vector<std::string> candidates;
    for (const char* name : kLibraryNames)
        for (const std::string& folder : folders) candidates.push_back(folder + "/" + name);
    candidates.insert(candidates.end(), std::begin(kLibraryNames), std::end(kLibraryNames));
    return candidates;
}

std::string sourceCheckoutFolder()
{
    const fs::path installer = fs::path(CLIPWRIGHT_SOURCE_DIR) / "tools/install-avisynth";
    std::error_code ec;
    return fs::is_regular_file(installer, ec) ? CLIPWRIGHT_SOURCE_DIR : "";
}

std::string aviSynthNotFoundText(const std::string& sourceCheckout)
{
    std::string text =
        "AviSynth+ not found: libavisynth.so could not be loaded, so scripts cannot be previewed. ";
    if (!sourceCheckout.empty()) {
        text += "Install it for your user with " + sourceCheckout +
                "/tools/install-avisynth --with-source-filter (it builds AviSynth+ and the FFMS2 source "
                "filter into ~/.local in a few minutes), then press F5 again. ";
    } else {
        text += "Install AviSynth+ 3.7 or newer and a source filter as the \"Preview\" section of "
                "Clipwright's install notes describes (README.md, installed in share/doc/clipwright). ";
    }
    return text + "An AviSynth+ installed elsewhere is found when " + aviSynthLibraryVariable +
           " names its lib folder.";
}

} // namespace cw
