#include "platform/close_request.h"

#include <QApplication>
#include <QGuiApplication>

#ifdef PRISMVIEW_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace prismview {

namespace {

#ifdef PRISMVIEW_HAVE_XCB
std::uint32_t Atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply) return 0;
    const std::uint32_t atom = reply->atom;
    std::free(reply);
    return atom;
}
#endif

}  // namespace

CloseRequestFilter::CloseRequestFilter(QWidget* window, std::function<void()> closeAnyway)
    : window_(window), closeAnyway_(std::move(closeAnyway)) {
#ifdef PRISMVIEW_HAVE_XCB
    // Only on the X platform itself: the offscreen one has the interface too, without a connection.
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && x11 && x11->connection()) {
        protocols_ = Atom(x11->connection(), "WM_PROTOCOLS");
        deleteWindow_ = Atom(x11->connection(), "WM_DELETE_WINDOW");
    }
#endif
}

bool CloseRequestFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef PRISMVIEW_HAVE_XCB
    if (deleteWindow_ == 0 || eventType != "xcb_generic_event_t" || !window_) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    const auto* client = reinterpret_cast<const xcb_client_message_event_t*>(event);
    if (client->format != 32 || client->type != protocols_ || client->data.data32[0] != deleteWindow_) return false;
    if (!window_->testAttribute(Qt::WA_WState_Created) || client->window != static_cast<std::uint32_t>(window_->winId()))
        return false;
    // Unblocked, Qt delivers it as the close event itself.
    if (QApplication::activeModalWidget()) closeAnyway_();
#else
    (void)eventType;
    (void)message;
#endif
    return false;
}

}  // namespace prismview
