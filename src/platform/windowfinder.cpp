#include "platform/windowfinder.h"

#include <QGuiApplication>
#include <QtGui/qtguiglobal.h>

#if defined(ZELMO_HAVE_XCB) && QT_CONFIG(xcb)
#define ZELMO_X11_WINDOWS 1
#include <QByteArray>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>
#endif

#ifdef ZELMO_X11_WINDOWS

namespace {

struct FreeDeleter {
    void operator()(void *pointer) const { std::free(pointer); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

// The X connection Qt uses, or null when the program does not run on X11.
xcb_connection_t *x11Connection()
{
    if (!qGuiApp)
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 1, uint16_t(qstrlen(name)), name);
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The values of a window-list property on a root window, in its order.
std::vector<xcb_window_t> windowList(xcb_connection_t *connection, xcb_window_t root,
                                     xcb_atom_t property)
{
    if (property == XCB_ATOM_NONE)
        return {};
    // Long enough for any desktop: the length counts 32-bit values.
    constexpr uint32_t kMaxWindows = 1u << 16;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, root, property, XCB_ATOM_WINDOW, 0, kMaxWindows);
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32)
        return {};
    const auto *values = static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_window_t));
    return std::vector<xcb_window_t>(values, values + count);
}

// The text of a name property, or nothing when the window has none.
std::optional<QString> nameOf(xcb_connection_t *connection, xcb_get_property_cookie_t cookie,
                              xcb_atom_t utf8String)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return std::nullopt;
    const QByteArray bytes(static_cast<const char *>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get()));
    if (reply->type == utf8String)
        return QString::fromUtf8(bytes);
    if (reply->type == XCB_ATOM_STRING)
        return QString::fromLatin1(bytes);
    // COMPOUND_TEXT and other encodings: right for plain ASCII titles.
    return QString::fromLocal8Bit(bytes);
}

struct NameCookies {
    xcb_window_t window;
    bool askedNetWmName;
    xcb_get_property_cookie_t netWmName;
    xcb_get_property_cookie_t wmName;
};

constexpr uint32_t kMaxNameLength = 4096; // in 32-bit units

} // namespace

std::optional<WindowFinder::WindowId> DesktopWindowFinder::find(const QString &title)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return std::nullopt;

    const xcb_atom_t clientList = atom(connection, "_NET_CLIENT_LIST");
    const xcb_atom_t stackingList = atom(connection, "_NET_CLIENT_LIST_STACKING");
    const xcb_atom_t netWmName = atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8String = atom(connection, "UTF8_STRING");

    for (xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
         screen.rem > 0; xcb_screen_next(&screen)) {
        const xcb_window_t root = screen.data->root;
        // Topmost first, as in the stacking list read from its end; the
        // plain client list when the window manager keeps no stacking list.
        std::vector<xcb_window_t> windows = windowList(connection, root, stackingList);
        if (!windows.empty())
            std::reverse(windows.begin(), windows.end());
        else
            windows = windowList(connection, root, clientList);

        // All requests first, then all replies: one round trip for the list.
        std::vector<NameCookies> cookies;
        cookies.reserve(windows.size());
        for (const xcb_window_t window : windows) {
            NameCookies request{window, false, {}, {}};
            request.askedNetWmName = netWmName != XCB_ATOM_NONE && utf8String != XCB_ATOM_NONE;
            if (request.askedNetWmName)
                request.netWmName = xcb_get_property(connection, 0, window, netWmName, utf8String,
                                                     0, kMaxNameLength);
            request.wmName = xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME,
                                              XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxNameLength);
            cookies.push_back(request);
        }

        std::optional<WindowId> found;
        for (const NameCookies &request : cookies) {
            std::optional<QString> name;
            if (request.askedNetWmName)
                name = nameOf(connection, request.netWmName, utf8String);
            if (name) {
                xcb_discard_reply(connection, request.wmName.sequence);
            } else {
                name = nameOf(connection, request.wmName, utf8String);
            }
            if (!found && name && *name == title)
                found = request.window;
        }
        if (found)
            return found;
    }
    return std::nullopt;
}

void DesktopWindowFinder::activate(WindowId window)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    const xcb_atom_t activeWindow = atom(connection, "_NET_ACTIVE_WINDOW");
    if (activeWindow == XCB_ATOM_NONE)
        return;
    const xcb_window_t target = xcb_window_t(window);
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, target), nullptr));
    if (!tree)
        return; // the window is gone

    // The request the window manager acts on, marked as coming from a
    // direct user action (source 2) so that focus-stealing prevention lets
    // it through: the user pressed the button for it.
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = target;
    event.type = activeWindow;
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = XCB_WINDOW_NONE;
    xcb_send_event(connection, 0, tree->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

#else

std::optional<WindowFinder::WindowId> DesktopWindowFinder::find(const QString &)
{
    return std::nullopt;
}

void DesktopWindowFinder::activate(WindowId) {}

#endif
