#include "platform/client_area.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/browser.h"
#include "app/input.h"
#include "app/paint.h"
#include "app/view.h"
#include "effects/mode_table.h"
#include "platform/key_map.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// One step of a scroll bar's arrows and, times the system's wheel lines, of a
// wheel notch; in widget pixels.
constexpr int kScrollLine = 20;

}  // namespace

ClientArea::ClientArea(AppState& state, Window& window, QWidget* parent)
    : QWidget(parent),
      state_(state),
      window_(window),
      horizontal_(new QScrollBar(Qt::Horizontal, this)),
      vertical_(new QScrollBar(Qt::Vertical, this)) {
    // paintEvent erases itself; the status text must not erase anything.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    for (QScrollBar* bar : {horizontal_, vertical_}) {
        bar->setFocusPolicy(Qt::NoFocus);  // the keys stay the program's
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (!syncing_) ScrollTo(window_, state_, horizontal_->value(), vertical_->value());
        });
    }
}

Point ClientArea::ScreenPoint(const QPointF& position) const {
    const qreal ratio = devicePixelRatioF();
    return {static_cast<std::int32_t>(std::floor(position.x() * ratio)),
            static_cast<std::int32_t>(std::floor(position.y() * ratio))};
}

void ClientArea::UpdateView() {
    const qreal ratio = devicePixelRatioF();
    auto screenPixels = [ratio](qreal v) { return static_cast<std::int32_t>(std::ceil(v * ratio)); };
    const QFontMetrics metrics(font());
    ViewState& view = state_.view;
    // The screen pixels that lie wholly inside the widget.
    view.client = {static_cast<std::int32_t>(width() * ratio), static_cast<std::int32_t>(height() * ratio)};
    view.scrollBarExtent = screenPixels(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, vertical_));
    view.textHeight = screenPixels(metrics.height());
    view.swatchTextWidth = screenPixels(std::max(metrics.horizontalAdvance(ToQString(kHueSwatchText)),
                                                 metrics.horizontalAdvance(ToQString(kLevelSwatchText))));
    int widest = 0;
    for (const ModeSpec* mode : AllModes()) widest = std::max(widest, metrics.horizontalAdvance(ToQString(mode->menuCaption)));
    view.captionWidth = screenPixels(widest);
    KeepScrollInLimits(state_);
    SyncScrollBars();
}

void ClientArea::SyncScrollBars() {
    ViewFit fit = FitOf(state_);
    if (state_.view.browser) fit.horizontalBar = fit.verticalBar = false;  // the browser always fits
    const qreal ratio = devicePixelRatioF();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, vertical_);
    // The bars count in screen pixels, as the scroll offset does.
    auto set = [&](QScrollBar* bar, bool shown, const QRect& place, std::int32_t value, std::int32_t content,
                   std::int32_t page) {
        bar->setVisible(shown);
        if (!shown) return;
        bar->setGeometry(place);
        bar->setRange(0, std::max(0, content - page));
        bar->setPageStep(std::max(1, page));
        bar->setSingleStep(static_cast<int>(kScrollLine * ratio));
        bar->setValue(value);
    };
    const QSize size = this->size();
    const QSize room(size.width() - (fit.verticalBar ? extent : 0), size.height() - (fit.horizontalBar ? extent : 0));
    syncing_ = true;
    set(horizontal_, fit.horizontalBar, QRect(0, size.height() - extent, room.width(), extent), fit.scrollX,
        fit.content.width, fit.viewport.width);
    set(vertical_, fit.verticalBar, QRect(size.width() - extent, 0, extent, room.height()), fit.scrollY,
        fit.content.height, fit.viewport.height);
    syncing_ = false;
}

void ClientArea::PaintStatusTextNow(std::string_view text) {
    statusText_ = ToQString(text);
    statusPending_ = true;
    repaint(QtCanvas::TextRect(font(), {0, 0}, text));  // nothing happens while hidden
    statusPending_ = false;
}

void ClientArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect statusRect = QtCanvas::TextRect(font(), {0, 0}, statusText_.toStdString());
    // A status paint may carry a repaint that was already due; do that one in full.
    const bool whole = !statusPending_ || !statusRect.contains(event->rect());
    if (whole) painter.fillRect(rect(), palette().color(QPalette::Base));
    QtCanvas canvas(painter, devicePixelRatioF());
    if (whole) {
        MakeShownCopies(state_);  // those a change of the view left missing
        MakeBrowserPictures(state_);  // likewise: a resize, a new picture
        PaintMainWindow(canvas, state_);
    }
    if (whole && horizontal_->isVisible() && vertical_->isVisible()) {  // the corner between the bars
        painter.resetTransform();
        painter.fillRect(QRect(vertical_->x(), horizontal_->y(), vertical_->width(), horizontal_->height()),
                         palette().color(QPalette::Window));
    }
    if (statusPending_) canvas.DrawText({0, 0}, statusText_.toStdString());
}

void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateView();
    window_.RequestRepaint();  // the scale in the status bar and the probe follow the refit
}

void ClientArea::keyPressEvent(QKeyEvent* event) {
    // Space held with a left drag pans; the page keys scroll (Shift: sideways).
    const bool sideways = event->modifiers().testFlag(Qt::ShiftModifier);
    switch (event->key()) {
        case Qt::Key_Space: spaceHeld_ = true; return;
        case Qt::Key_Backslash:
        case Qt::Key_yen:  // the same key on a Japanese keyboard
            SetComparing(window_, state_, true);
            return;
        case Qt::Key_PageUp: ScrollByKey(window_, state_, ScrollMove::PageBack, sideways); return;
        case Qt::Key_PageDown: ScrollByKey(window_, state_, ScrollMove::PageForward, sideways); return;
        case Qt::Key_Home: ScrollByKey(window_, state_, ScrollMove::Start, sideways); return;
        case Qt::Key_End: ScrollByKey(window_, state_, ScrollMove::End, sideways); return;
        default: break;
    }
    const std::optional<Key> key = KeyFor(event->key(), event->modifiers(), event->nativeScanCode());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    OnKeyDown(window_, state_, *key);
}

void ClientArea::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) spaceHeld_ = false;
    if ((event->key() == Qt::Key_Backslash || event->key() == Qt::Key_yen) && !event->isAutoRepeat())
        SetComparing(window_, state_, false);
    QWidget::keyReleaseEvent(event);
}

void ClientArea::mouseMoveEvent(QMouseEvent* event) {
    if (panFrom_) {
        const Point moved = ScreenPoint(event->position() - *panFrom_);
        ScrollTo(window_, state_, std::int64_t{panScroll_.x} - moved.x, std::int64_t{panScroll_.y} - moved.y);
    }
    const Point point = ScreenPoint(event->position());
    OnMouseMove(window_, state_, point);
    // Over the split line of 比較 the pointer says it can be dragged.
    if (!panFrom_) {
        if (state_.view.splitDragging || GrabsSplitLine(state_, point)) setCursor(Qt::SplitHCursor);
        else if (cursor().shape() == Qt::SplitHCursor) unsetCursor();
    }
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && panFrom_) {
        panFrom_.reset();
        unsetCursor();
    }
    if (event->button() == Qt::LeftButton) OnLeftButtonUp(state_);
    QWidget::mouseReleaseEvent(event);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    const Point point = ScreenPoint(event->position());
    if (event->button() == Qt::LeftButton && spaceHeld_ && state_.view.Scrolls() && !state_.view.browser) {
        panFrom_ = event->position();
        const ViewFit fit = FitOf(state_);
        panScroll_ = {fit.scrollX, fit.scrollY};
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && shift))
        OnPinButtonDown(window_, state_, point);
    else if (event->button() == Qt::LeftButton)
        OnLeftButtonDown(window_, state_, point);
    else if (event->button() == Qt::RightButton)
        OnRightButtonDown(window_, state_, point);
}

void ClientArea::focusOutEvent(QFocusEvent* event) {
    // A key released in another window never reaches this one.
    spaceHeld_ = false;
    SetComparing(window_, state_, false);
    QWidget::focusOutEvent(event);
}

void ClientArea::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    OnMouseLeave(window_, state_);
}

void ClientArea::wheelEvent(QWheelEvent* event) {
    // angleDelta counts eighths of a degree, 120 to a notch.
    const double perEighth =
        QApplication::wheelScrollLines() * kScrollLine * devicePixelRatioF() / 120.0;
    const QPoint angle = event->angleDelta();
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // Ctrl with the wheel zooms, a step a notch, about the pointer; not
        // the browser, which always fits.
        if (state_.view.browser) {
            event->accept();
            return;
        }
        wheelZoom_ += angle.y();
        const int steps = wheelZoom_ / 120;
        wheelZoom_ -= steps * 120;
        if (steps != 0) Zoom(window_, state_, steps, ScreenPoint(event->position()));
        event->accept();
        return;
    }
    OnWheel(window_, state_, static_cast<std::int32_t>(angle.x() * perEighth),
            static_cast<std::int32_t>(angle.y() * perEighth), event->modifiers().testFlag(Qt::ShiftModifier));
    event->accept();
}

}  // namespace prismview
