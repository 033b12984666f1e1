#include "KeyRepeat.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QtGlobal>

#include <xcb/xcb.h>
// The XKB header is C: one of its fields is named "explicit", a keyword in C++.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>

TKeyRepeatMode UseDetectableAutoRepeat()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return TKeyRepeatMode::NotX11;
    xcb_connection_t* connection = x11->connection();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (!extension || !extension->present) {
        qWarning("Kelvane: the X server has no XKB; a held key may retrigger on a busy machine");
        return TKeyRepeatMode::Unavailable;
    }
    // Qt has announced itself to XKB already; saying so again costs nothing and makes the
    // request below valid whatever Qt did.
    std::free(xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    constexpr uint32_t Flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_generic_error_t* error = nullptr;
    xcb_xkb_per_client_flags_reply_t* reply = xcb_xkb_per_client_flags_reply(
        connection, xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, Flag, Flag, 0, 0, 0), &error);
    const bool detectable = reply && (reply->supported & Flag) && (reply->value & Flag);
    std::free(reply);
    std::free(error);
    if (!detectable) {
        qWarning("Kelvane: the X server refused detectable auto-repeat; a held key may retrigger on a busy machine");
        return TKeyRepeatMode::Unavailable;
    }
    return TKeyRepeatMode::Detectable;
}
