#include "app/X11Windows.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb) && __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name, bool onlyIfExists) {
    const auto cookie =
        xcb_intern_atom(c, onlyIfExists ? 1 : 0, static_cast<uint16_t>(std::strlen(name)), name);
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The value of a property of the given type, or nothing (the property is
// missing, of another type, or the window has gone).
bool Property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
              QByteArray& value) {
    if (property == XCB_ATOM_NONE || type == XCB_ATOM_NONE) return false;
    // Titles and client lists are short; 64 K words is plenty.
    const auto cookie = xcb_get_property(c, 0, w, property, type, 0, 65536);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->type != type) return false;
    const int length = xcb_get_property_value_length(reply.get());
    value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    return true;
}

struct Desktop {
    xcb_connection_t* c;
    xcb_window_t root;
    xcb_atom_t utf8 = XCB_ATOM_NONE;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t netClientList = XCB_ATOM_NONE;

    bool Titled(xcb_window_t w, const QString& title) const {
        QByteArray value;
        if (Property(c, w, netWmName, utf8, value)) return QString::fromUtf8(value) == title;
        if (Property(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, value))
            return QString::fromLatin1(value) == title;
        return false;
    }

    bool Viewable(xcb_window_t w) const {
        const auto cookie = xcb_get_window_attributes(c, w);
        Reply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(c, cookie, nullptr));
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    std::vector<xcb_window_t> Children(xcb_window_t w) const {
        const auto cookie = xcb_query_tree(c, w);
        Reply<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(c, cookie, nullptr));
        if (!reply) return {};
        const xcb_window_t* first = xcb_query_tree_children(reply.get());
        return {first, first + xcb_query_tree_children_length(reply.get())};
    }
};

} // namespace

bool X11TopLevelWindowExists(const QString& title) {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11) return false;
    xcb_connection_t* c = x11->connection();
    if (!c || xcb_connection_has_error(c)) return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return false;

    Desktop d{c, screen->root};
    d.utf8 = Atom(c, "UTF8_STRING", true);
    d.netWmName = Atom(c, "_NET_WM_NAME", true);
    d.netClientList = Atom(c, "_NET_CLIENT_LIST", true);

    QByteArray list;
    if (Property(c, d.root, d.netClientList, XCB_ATOM_WINDOW, list)) {
        const auto* ids = reinterpret_cast<const xcb_window_t*>(list.constData());
        const qsizetype n = list.size() / qsizetype(sizeof(xcb_window_t));
        for (qsizetype i = 0; i < n; ++i)
            if (d.Titled(ids[i], title)) return true;
        return false;
    }
    // No client list: the mapped top-level windows, and one level below them
    // for a window manager that puts its clients into frames.
    for (const xcb_window_t w : d.Children(d.root)) {
        if (!d.Viewable(w)) continue;
        if (d.Titled(w, title)) return true;
        for (const xcb_window_t child : d.Children(w))
            if (d.Viewable(child) && d.Titled(child, title)) return true;
    }
    return false;
}

#else

bool X11TopLevelWindowExists(const QString&) {
    return false;
}

#endif
