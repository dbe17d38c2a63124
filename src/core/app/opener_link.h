#pragma once

#include <cstdint>
#include <string>

namespace cw {

// WM_NAME's bytes for a UTF-8 text, and whether its type is COMPOUND_TEXT
// rather than STRING.
struct WmNameText {
    std::string bytes;
    bool compound = false;
};

// Text made only of Latin-1's printable characters and the C0 controls (tab,
// line ends) is STRING: its Latin-1 bytes. Anything else is COMPOUND_TEXT in
// its initial state, where ASCII and Latin-1's upper half stand as they are;
// each run of other characters (the C1 controls included, which would
// otherwise read as control sequences) goes into a UTF-8 segment, ESC % G ...
// ESC % @, the extension that Xlib's converters and the toolkits understand.
// The alternative, one ISO 2022 character set per script, would lose
// characters that no such set holds. The text must be valid UTF-8.
WmNameText encodeWmName(const std::string& utf8);

// Hands text back to the opener: sets the window's _NET_WM_NAME
// (UTF8_STRING) and WM_NAME (see encodeWmName) through its own connection to
// $DISPLAY. Returns "" when the X server accepted both, else the reason,
// such as no display, a window that does not exist, or a text too large for
// one request.
std::string setOpenerWindowText(std::uint32_t window, const std::string& utf8);

} // namespace cw
