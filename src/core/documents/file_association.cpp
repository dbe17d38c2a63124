#include "core/documents/file_association.h"

#include "core/base/text_file.h"
#include "core/base/text_encoding.h"
#include "core/documents/mime_package.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace cw {
namespace {

constexpr const char* mimeType = "text/x-avisynth";
constexpr const char* desktopId = "clipwright.desktop";
constexpr const char* defaultsGroup = "[Default Applications]";

struct UserFolders {
    std::string data;
    std::string config;
};

// A base-directory variable counts only when it holds an absolute path.
std::optional<UserFolders> userFolders(const EnvLookup& env)
{
    const char* home = env("HOME");
    auto folder = [&](const char* variable, const char* fallback) -> std::string {
        if (const char* value = env(variable); value && value[0] == '/') return value;
        return home && *home ? std::string(home) + "/" + fallback : std::string();
    };
    UserFolders folders{folder("XDG_DATA_HOME", ".local/share"), folder("XDG_CONFIG_HOME", ".config")};
    if (folders.data.empty() || folders.config.empty()) return std::nullopt;
    return folders;
}

constexpr const char* noFolders = "cannot find this user's folders: HOME is not set";

std::string makeFolder(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return ec ? path + ": " + ec.message() : std::string();
}

std::string removeFile(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return path + ": " + std::strerror(errno);
    return {};
}

// The file's text, "" for a file that does not exist, nothing when it
// exists but cannot be read.
std::optional<std::string> readOptionalFile(const std::string& path)
{
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) return std::string();
    return readFileBytes(path);
}

// Runs tool on folder without a shell and waits; a tool that is not
// installed is skipped. The tool sees the data folder this program chose,
// which may come from a default rather than the environment.
std::string runTool(const char* tool, const std::string& folder, const std::string& dataHome)
{
    const std::string dataVariable = "XDG_DATA_HOME=" + dataHome;
    std::vector<char*> childEnv;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "XDG_DATA_HOME=", 14) != 0) childEnv.push_back(*e);
    childEnv.push_back(const_cast<char*>(dataVariable.c_str()));
    childEnv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string toolName = tool;
    std::string argument = folder;
    char* argv[] = {toolName.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, tool, &actions, nullptr, argv, childEnv.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc == ENOENT) return {};
    if (rc != 0) return toolName + ": " + std::strerror(rc);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return toolName + ": " + std::strerror(errno);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
    const std::string how = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                              : "signal " + std::to_string(WTERMSIG(status));
    return toolName + " " + folder + ": failed with " + how;
}

struct Line {
    std::string text; // without its line end
    bool crlf = false;
    bool ended = true; // false for a last line without a line end
};

std::vector<Line> splitKeepingEnds(const std::string& text)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        Line line{text.substr(start, end - start), false, !last};
        if (!last && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.crlf = true;
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<Line>& lines)
{
    std::string text;
    for (const Line& line : lines) text += line.text + (!line.ended ? "" : line.crlf ? "\r\n" : "\n");
    return text;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isGroupHeader(const std::string& line)
{
    const std::string t = trimmed(line);
    return !t.empty() && t.front() == '[' && t.back() == ']';
}

// The key of a "key=value" line, or "" for anything else.
std::string keyOf(const std::string& line)
{
    const auto eq = line.find('=');
    return eq == std::string::npos || isGroupHeader(line) ? std::string() : trimmed(line.substr(0, eq));
}

// The values of the [Desktop Entry] group's keys Exec and MimeType.
struct DesktopEntryKeys {
    std::string exec;
    std::string mimeTypes;
};

DesktopEntryKeys readDesktopEntryKeys(const std::string& text)
{
    DesktopEntryKeys keys;
    bool inEntry = false;
    for (const Line& line : splitKeepingEnds(text)) {
        if (isGroupHeader(line.text)) inEntry = trimmed(line.text) == "[Desktop Entry]";
        const std::string key = keyOf(line.text);
        if (!inEntry || key.empty()) continue;
        const std::string value = trimmed(line.text.substr(line.text.find('=') + 1));
        if (key == "Exec") keys.exec = value;
        if (key == "MimeType") keys.mimeTypes = value;
    }
    return keys;
}

// The program of an Exec line: its first word, with the escapes of the
// string value undone first and then those of the quoting rules, the
// reverse of desktopExecProgram.
std::string execProgram(const std::string& exec)
{
    std::string value;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '\\' || i + 1 == exec.size()) {
            value += exec[i];
            continue;
        }
        const char c = exec[++i];
        value += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    std::string program;
    if (value.empty() || value.front() != '"') {
        program = value.substr(0, value.find(' '));
    } else {
        for (std::size_t i = 1; i < value.size() && value[i] != '"'; ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            program += value[i];
        }
    }
    for (std::size_t at = program.find("%%"); at != std::string::npos; at = program.find("%%", at + 1))
        program.erase(at, 1);
    return program;
}

// The blank-trimmed, non-empty items of a list such as "a;b;" or "/x:/y".
std::vector<std::string> listItems(const std::string& list, char separator)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(separator, start);
        if (end == std::string::npos) end = list.size();
        if (std::string item = trimmed(list.substr(start, end - start)); !item.empty()) items.push_back(item);
        start = end + 1;
    }
    return items;
}

// A search path's absolute folders; fallback when the variable is unset or empty.
std::vector<std::string> searchList(const char* value, const char* fallback)
{
    std::vector<std::string> folders = listItems(value && *value ? value : fallback, ':');
    std::erase_if(folders, [](const std::string& folder) { return folder.front() != '/'; });
    return folders;
}

std::string onPath(const std::string& program, const EnvLookup& env)
{
    if (program.find('/') != std::string::npos) return program;
    for (const std::string& folder : searchList(env("PATH"), "/usr/local/bin:/usr/bin:/bin"))
        if (const std::string candidate = folder + "/" + program; ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    return {};
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec) && !ec;
}

} // namespace

std::string desktopExecProgram(const std::string& executablePath)
{
    std::string out = "\"";
    for (const char c : executablePath) {
        switch (c) {
        // Inside quotes these take a backslash, which the string escapes
        // applied first must see doubled.
        case '"':
        case '`':
        case '$':
            out += "\\\\";
            out += c;
            break;
        case '\\': out += "\\\\\\\\"; break;
        case '%': out += "%%"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out + '"';
}

std::string withDefaultApplication(const std::string& mimeapps, const std::string& type,
                                   const std::string& id)
{
    std::vector<Line> lines = splitKeepingEnds(mimeapps);
    if (!lines.empty()) lines.back().ended = true;
    const std::string entry = type + "=" + id;
    std::size_t i = 0;
    while (i < lines.size() && trimmed(lines[i].text) != defaultsGroup) ++i;
    if (i == lines.size()) {
        if (!lines.empty() && !trimmed(lines.back().text).empty()) lines.push_back({});
        lines.push_back({defaultsGroup});
        lines.push_back({entry});
        return joinLines(lines);
    }

    const bool crlf = lines[i].crlf;
    std::size_t lastInGroup = i;
    bool set = false;
    for (std::size_t k = i + 1; k < lines.size() && !isGroupHeader(lines[k].text);) {
        if (keyOf(lines[k].text) != type) {
            if (!trimmed(lines[k].text).empty()) lastInGroup = k;
            ++k;
        } else if (!set) {
            lines[k].text = entry;
            set = true;
            lastInGroup = k++;
        } else {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }
    if (!set) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastInGroup + 1), Line{entry, crlf});
    return joinLines(lines);
}

std::string withoutDefaultApplication(const std::string& mimeapps, const std::string& type,
                                      const std::string& id)
{
    std::vector<Line> lines = splitKeepingEnds(mimeapps);
    bool inDefaults = false;
    for (std::size_t k = 0; k < lines.size();) {
        std::string& text = lines[k].text;
        if (isGroupHeader(text)) inDefaults = trimmed(text) == defaultsGroup;
        if (!inDefaults || keyOf(text) != type) {
            ++k;
            continue;
        }
        const std::string value = text.substr(text.find('=') + 1);
        std::string kept;
        std::size_t start = 0;
        while (start <= value.size()) {
            std::size_t end = value.find(';', start);
            if (end == std::string::npos) end = value.size();
            const std::string item = trimmed(value.substr(start, end - start));
            if (!item.empty() && item != id) kept += item + ";";
            start = end + 1;
        }
        if (kept.empty()) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(k));
            continue;
        }
        if (!value.empty() && value.back() != ';') kept.pop_back();
        text = text.substr(0, text.find('=') + 1) + kept;
        ++k;
    }
    // A file that had no line end at its close keeps none.
    if (!lines.empty() && mimeapps.back() != '\n') lines.back().ended = false;
    return joinLines(lines);
}

std::string registerAvsFiles(const std::string& executablePath, const EnvLookup& env)
{
    const std::optional<UserFolders> folders = userFolders(env);
    if (!folders) return noFolders;
    if (!isValidUtf8(executablePath))
        return executablePath + ": a desktop entry cannot hold a path that is not UTF-8";

    const std::string mimeFolder = folders->data + "/mime";
    const std::string appsFolder = folders->data + "/applications";
    for (const std::string& folder : {mimeFolder + "/packages", appsFolder, folders->config})
        if (std::string error = makeFolder(folder); !error.empty()) return error;

    const std::string desktopEntry = "[Desktop Entry]\n"
                                     "Type=Application\n"
                                     "Name=Clipwright\n"
                                     "Exec=" + desktopExecProgram(executablePath) + " -i %f\n"
                                     "MimeType=" + std::string(mimeType) + ";\n"
                                     "Terminal=false\n";
    const std::string mimeappsPath = folders->config + "/mimeapps.list";
    const std::optional<std::string> mimeapps = readOptionalFile(mimeappsPath);
    if (!mimeapps) return mimeappsPath + ": cannot be read";

    const std::pair<std::string, std::string> writes[] = {
        {mimeFolder + "/packages/clipwright-avs.xml", avsMimePackage},
        {appsFolder + "/" + desktopId, desktopEntry},
        {mimeappsPath, withDefaultApplication(*mimeapps, mimeType, desktopId)},
    };
    for (const auto& [path, bytes] : writes)
        if (std::string error = writeFileAtomically(path, bytes); !error.empty()) return error;

    if (std::string error = runTool("update-mime-database", mimeFolder, folders->data); !error.empty()) return error;
    return runTool("update-desktop-database", appsFolder, folders->data);
}

bool isRegisteredByPackage(const std::string& executablePath, const EnvLookup& env)
{
    for (const std::string& folder : searchList(env("XDG_DATA_DIRS"), "/usr/local/share/:/usr/share/")) {
        const std::optional<std::string> text = readFileBytes(folder + "/applications/" + desktopId);
        if (!text) continue;
        const DesktopEntryKeys keys = readDesktopEntryKeys(*text);
        const std::vector<std::string> types = listItems(keys.mimeTypes, ';');
        if (std::find(types.begin(), types.end(), mimeType) != types.end() &&
            sameFile(onPath(execProgram(keys.exec), env), executablePath))
            return true;
    }
    return false;
}

std::string makePackagedEntryDefault(const EnvLookup& env)
{
    const std::optional<UserFolders> folders = userFolders(env);
    if (!folders) return noFolders;

    const std::string appsFolder = folders->data + "/applications";
    const bool hadOwnEntry = fileExists(appsFolder + "/" + desktopId);
    if (std::string error = removeFile(appsFolder + "/" + desktopId); !error.empty()) return error;

    if (std::string error = makeFolder(folders->config); !error.empty()) return error;
    const std::string mimeappsPath = folders->config + "/mimeapps.list";
    const std::optional<std::string> mimeapps = readOptionalFile(mimeappsPath);
    if (!mimeapps) return mimeappsPath + ": cannot be read";
    const std::string changed = withDefaultApplication(*mimeapps, mimeType, desktopId);
    if (changed != *mimeapps)
        if (std::string error = writeFileAtomically(mimeappsPath, changed); !error.empty()) return error;

    return hadOwnEntry ? runTool("update-desktop-database", appsFolder, folders->data) : std::string();
}

std::string unregisterAvsFiles(const EnvLookup& env)
{
    const std::optional<UserFolders> folders = userFolders(env);
    if (!folders) return noFolders;

    const std::string appsFolder = folders->data + "/applications";
    if (std::string error = removeFile(appsFolder + "/" + desktopId); !error.empty()) return error;

    const std::string mimeappsPath = folders->config + "/mimeapps.list";
    const std::optional<std::string> mimeapps = readOptionalFile(mimeappsPath);
    if (!mimeapps) return mimeappsPath + ": cannot be read";
    const std::string changed = withoutDefaultApplication(*mimeapps, mimeType, desktopId);
    if (changed != *mimeapps)
        if (std::string error = writeFileAtomically(mimeappsPath, changed); !error.empty()) return error;

    if (!folderExists(appsFolder)) return {};
    return runTool("update-desktop-database", appsFolder, folders->data);
}

} // namespace cw
