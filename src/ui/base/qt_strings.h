#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace cw {

// The core speaks UTF-8 byte strings; these are the one crossing to and from Qt.
inline std::string toUtf8String(const QString& text)
{
    return text.toStdString();
}

inline QString fromUtf8String(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace cw
