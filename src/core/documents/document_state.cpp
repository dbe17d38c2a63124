#include "core/documents/document_state.h"

#include "core/documents/script_file.h"

namespace cw {

bool DocumentState::loaded(const std::string& path)
{
    m_currentFile = path;
    m_modified = false;
    return updateRecentFiles(m_recentFiles, path);
}

void DocumentState::saved(const std::string& path)
{
    m_currentFile = path;
    m_modified = false;
}

std::string DocumentState::title(const std::string& appTitle) const
{
    return appTitle + " - [" + (m_currentFile.empty() ? "Untitled" : m_currentFile) + (m_modified ? "*" : "") +
           "]";
}

std::optional<std::string> DocumentState::saveChangesQuestion() const
{
    if (!m_modified) return std::nullopt;
    return cw::saveChangesQuestion(m_currentFile);
}

} // namespace cw
