#pragma once

#include "core/app/recent_files.h"

#include <optional>
#include <string>

namespace cw {

// What the main window knows of the script it holds: its file, whether it
// has unsaved changes, and the recent files that loading feeds. These rules
// decide the title, the questions and where Save writes; the ui carries
// them out.
class DocumentState {
public:
    const std::string& currentFile() const { return m_currentFile; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    const RecentFiles& recentFiles() const { return m_recentFiles; }
    void setRecentFiles(const RecentFiles& files) { m_recentFiles = files; }

    // A script was read from path: it becomes the document, unchanged, and
    // joins the recent files. Whether the recent list changed.
    bool loaded(const std::string& path);
    // The document was written to path, which it now is.
    void saved(const std::string& path);
    // Text recovered after a crash: unsaved changes to path ("" untitled).
    void recovered(const std::string& path)
    {
        m_currentFile = path;
        m_modified = true;
    }
    // The document no longer names a file (a script asked for that does not exist).
    void forgetFile() { m_currentFile.clear(); }

    // appTitle, then " - [", the file or "Untitled", "*" for unsaved changes, "]".
    std::string title(const std::string& appTitle) const;
    // "Save changes to <file or Untitled>?" while there are unsaved changes.
    std::optional<std::string> saveChangesQuestion() const;
    // Save writes to the current file only while it exists; else it asks for a path.
    bool saveNeedsPath(bool currentFileExists) const { return m_currentFile.empty() || !currentFileExists; }

private:
    std::string m_currentFile;
    bool m_modified = false;
    RecentFiles m_recentFiles;
};

} // namespace cw
