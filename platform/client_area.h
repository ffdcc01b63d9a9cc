// The client area below the menu bar: painting, the scroll bars, the keys,
// the mouse and the wheel. Qt's events become the program's keys and points
// here and go to the input logic.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <string_view>

#include "app/app_state.h"
#include "app/window.h"

class QScrollBar;

namespace prismview {

class ClientArea : public QWidget {
    Q_OBJECT

public:
    ClientArea(AppState& state, Window& window, QWidget* parent);
    // Paints the text at (0, 0) now, over whatever is shown, erasing nothing.
    void PaintStatusTextNow(std::string_view text);
    // Tells the view the size of the client area and the room texts and
    // scroll bars take, in screen pixels, and refits it.
    void UpdateView();
    // Shows, places and sets the scroll bars as the view has them.
    void SyncScrollBars();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Tab is a key like any other here, not a focus move.
    bool focusNextPrevChild(bool) override { return false; }

private:
    // A position of the widget in screen pixels, as the logic counts them.
    Point ScreenPoint(const QPointF& position) const;

    AppState& state_;
    Window& window_;
    QString statusText_;
    bool statusPending_ = false;
    QScrollBar* horizontal_;
    QScrollBar* vertical_;
    bool syncing_ = false;  // the bars are being set from the view, not moved by the user
    int wheelZoom_ = 0;     // eighths of a degree turned with Ctrl, not yet a whole notch
    bool spaceHeld_ = false;  // Space is down: a left drag pans the view
    // A pan under way: where the drag started and the scroll offset then.
    std::optional<QPointF> panFrom_;
    Point panScroll_{};
};

}  // namespace prismview
