#include "core/app/opener_link.h"

#include "core/base/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace cw {
namespace {

// Decodes the code point starting at text[i] (valid UTF-8) and moves i past it.
char32_t nextCodePoint(const std::string& text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t cp = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k)
        cp = cp << 6 | (static_cast<unsigned char>(text[i++]) & 0x3F);
    return cp;
}

bool standsAsLatin1(char32_t cp)
{
    return cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF);
}

std::string hexId(std::uint32_t window)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", window);
    return buf;
}

struct Disconnect {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

xcb_atom_t internAtom(xcb_connection_t* c, const char* name, std::size_t length)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(length), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

template <std::size_t N>
xcb_atom_t internAtom(xcb_connection_t* c, const char (&name)[N])
{
    return internAtom(c, name, N - 1);
}

std::string describeError(const xcb_generic_error_t& error, std::uint32_t window)
{
    if (error.error_code == XCB_WINDOW) return "the opener's window " + hexId(window) + " does not exist";
    return "the X server refused to set the name of the opener's window " + hexId(window) + " (error " +
           std::to_string(error.error_code) + ")";
}

} // namespace

WmNameText encodeWmName(const std::string& utf8)
{
    WmNameText out;
    bool inSegment = false;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        const char32_t cp = nextCodePoint(utf8, i);
        if (standsAsLatin1(cp)) {
            if (inSegment) out.bytes += "\x1b%@";
            inSegment = false;
            out.bytes += static_cast<char>(cp);
        } else {
            if (!inSegment) out.bytes += "\x1b%G";
            inSegment = out.compound = true;
            out.bytes.append(utf8, start, i - start);
        }
    }
    if (inSegment) out.bytes += "\x1b%@";
    return out;
}

std::string setOpenerWindowText(std::uint32_t window, const std::string& utf8)
{
    if (window == 0) return "no opener window was given";
    if (!isValidUtf8(utf8)) return "the script is not valid UTF-8";
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return "no X11 display to reach the opener: DISPLAY is not set";

    Connection conn(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(conn.get()))
        return std::string("cannot open the X11 display \"") + display + "\"";
    xcb_connection_t* c = conn.get();

    // One request per property, so the opener never sees half a script; the
    // request header plus the length field of a big request is 28 bytes.
    const WmNameText wmName = encodeWmName(utf8);
    const std::uint64_t limit = std::uint64_t{xcb_get_maximum_request_length(c)} * 4;
    const std::size_t largest = std::max(utf8.size(), wmName.bytes.size());
    if (largest + 28 > limit)
        return "the script is too large to hand back to the opener (" + std::to_string(largest) +
               " bytes; the X server takes at most " + std::to_string(limit - 28) + ")";

    const xcb_atom_t netWmName = internAtom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8String = internAtom(c, "UTF8_STRING");
    const xcb_atom_t wmNameType = wmName.compound ? internAtom(c, "COMPOUND_TEXT") : xcb_atom_t{XCB_ATOM_STRING};
    if (netWmName == XCB_ATOM_NONE || utf8String == XCB_ATOM_NONE || wmNameType == XCB_ATOM_NONE)
        return "the X server did not answer the atom requests";

    const xcb_void_cookie_t cookies[] = {
        xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, window, netWmName, utf8String, 8,
                                    static_cast<std::uint32_t>(utf8.size()), utf8.data()),
        xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, wmNameType, 8,
                                    static_cast<std::uint32_t>(wmName.bytes.size()), wmName.bytes.data()),
    };
    std::string failure;
    for (const xcb_void_cookie_t cookie : cookies) {
        std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(xcb_request_check(c, cookie), &std::free);
        if (error && failure.empty()) failure = describeError(*error, window);
    }
    if (failure.empty() && xcb_connection_has_error(c)) failure = "the connection to the X11 display was lost";
    return failure;
}

} // namespace cw
