#pragma once

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

namespace cw::test {

// A window of our own on $DISPLAY standing in for the tool that started the
// program. Without a display open() fails, and under CI it also records a
// failure: there a missing display is a fault of the set-up, not a reason to skip.
class X11Window {
public:
    X11Window() = default;
    ~X11Window()
    {
        if (m_conn) xcb_disconnect(m_conn);
    }
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    bool open()
    {
        int screenNumber = 0;
        m_conn = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_conn)) {
            if (std::getenv("CI")) ADD_FAILURE() << "CI is set but no X11 display could be opened";
            return false;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_conn));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&it);
        m_window = xcb_generate_id(m_conn);
        xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_window, it.data->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, it.data->root_visual, 0, nullptr);
        xcb_flush(m_conn);
        return true;
    }

    xcb_connection_t* connection() const { return m_conn; }
    xcb_window_t id() const { return m_window; }

    xcb_atom_t atom(const std::string& name) const
    {
        auto* reply = xcb_intern_atom_reply(
            m_conn, xcb_intern_atom(m_conn, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
            nullptr);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }

    // The property's type and bytes.
    std::pair<xcb_atom_t, std::string> property(xcb_atom_t name) const
    {
        auto* reply = xcb_get_property_reply(
            m_conn, xcb_get_property(m_conn, 0, m_window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 24),
            nullptr);
        std::pair<xcb_atom_t, std::string> result{
            reply->type, std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                                     static_cast<std::size_t>(xcb_get_property_value_length(reply)))};
        std::free(reply);
        return result;
    }

private:
    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_window = 0;
};

} // namespace cw::test
