#pragma once

#include <string>
#include <vector>

namespace cw {

// Reads and writes a file of "key=value" lines. Keeps no settings between
// calls: every operation takes the file's path and reads it anew, so edits
// made by hand between two writes survive. Lines are byte strings and travel
// unchanged; the file is written with CR LF line ends.
class CPropertiesManager {
public:
    // Sets pname (lower-cased) to pvalue: the first line with that key is
    // replaced, or a line appended; the whole file is then sorted and
    // replaced atomically. Creates the file when missing. Returns an empty
    // string on success, else the system's reason; the old file is then intact.
    std::string writePropertie(const std::string& filename, const std::string& pname,
                               const std::string& pvalue);

    // Removes every line whose key is pname (lower-cased); a file without
    // one is left untouched. "" or the system's reason.
    std::string removePropertie(const std::string& filename, const std::string& pname);

    // Appends "#" + comment to an existing file without sorting.
    std::string writeComment(const std::string& filename, const std::string& comment);

    // Places a comment line before every occurrence of key (a plain substring
    // match anywhere in the file). A missing or empty file is left alone.
    std::string writeKeyComment(const std::string& filename, const std::string& key,
                                const std::string& comment);

    // The value of the first line whose key equals propertie exactly; empty
    // when the file or the key is missing.
    std::string readPropertie(const std::string& filename, const std::string& propertie) const;

    // The file's lines, for reading many values from one read; none when the
    // file is missing or unreadable.
    static std::vector<std::string> readLines(const std::string& filename);
    // The value of the first of lines whose key equals propertie exactly.
    static std::string valueOf(const std::vector<std::string>& lines, const std::string& propertie);

    // Stable sort of whole lines compared lower-cased, byte by byte.
    static void sortCol(std::vector<std::string>& col);

private:
    static std::string keyOf(const std::string& line);

    std::vector<std::string> m_lines;
};

// Splits file bytes into lines: LF ends a line and a CR before it is dropped.
// A last line without an end still counts; an empty file has no lines.
std::vector<std::string> splitLines(const std::string& bytes);

} // namespace cw
