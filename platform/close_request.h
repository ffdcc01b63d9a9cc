// The window manager's close request (WM_DELETE_WINDOW on X) for the main
// window while a modal window blocks it: Qt drops it then, so a close box,
// Alt+F4 or `wmctrl -c` would do nothing during a dialog or a sweep's
// progress. This filter sees it first and asks the window to close anyway.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace prismview {

class CloseRequestFilter : public QAbstractNativeEventFilter {
public:
    // `closeAnyway` runs when the request reaches `window` while a modal
    // window blocks it.
    CloseRequestFilter(QWidget* window, std::function<void()> closeAnyway);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QPointer<QWidget> window_;
    std::function<void()> closeAnyway_;
    std::uint32_t protocols_ = 0, deleteWindow_ = 0;  // the X atoms, once known
};

}  // namespace prismview
