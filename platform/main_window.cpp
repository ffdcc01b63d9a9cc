#include "platform/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include "app/input.h"
#include "app/paint.h"
#include "app/startup.h"
#include "platform/icon.h"
#include "platform/key_map.h"
#include "platform/qt_canvas.h"
#include "resources/menu.h"

namespace prismview {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Mouse positions travel as unsigned 16-bit numbers, as the hit test expects.
std::uint16_t Coordinate(qreal v) { return static_cast<std::uint16_t>(static_cast<int>(v)); }

}  // namespace

ClientArea::ClientArea(AppState& state, Window& window, QWidget* parent)
    : QWidget(parent), state_(state), window_(window) {
    // paintEvent erases itself; the status text must not erase anything.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void ClientArea::PaintStatusTextNow(std::string_view text) {
    statusText_ = ToQString(text);
    statusPending_ = true;
    repaint(QtCanvas::TextRect(font(), 0, 0, text));  // nothing happens while hidden
    statusPending_ = false;
}

void ClientArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QtCanvas canvas(painter);
    const QRect statusRect = QtCanvas::TextRect(font(), 0, 0, statusText_.toStdString());
    // A status paint may carry a repaint that was already due; do that one in full.
    if (!statusPending_ || !statusRect.contains(event->rect())) {
        painter.fillRect(rect(), palette().color(QPalette::Base));
        PaintMainWindow(canvas, state_);
    }
    if (statusPending_) canvas.DrawText(0, 0, statusText_.toStdString());
}

void ClientArea::keyPressEvent(QKeyEvent* event) {
    const auto key = VirtualKeyFor(event->key(), event->modifiers(), event->nativeScanCode());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    OnKeyDown(window_, state_, *key);
}

void ClientArea::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(window_, state_, Coordinate(event->position().x()), Coordinate(event->position().y()));
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    const std::uint16_t x = Coordinate(event->position().x());
    const std::uint16_t y = Coordinate(event->position().y());
    if (event->button() == Qt::LeftButton)
        OnLeftButtonDown(window_, state_, x, y);
    else if (event->button() == Qt::RightButton)
        OnRightButtonDown(window_, state_, x, y);
}

MainWindow::MainWindow(AppState& state) : state_(state), client_(new ClientArea(state, *this, this)) {
    setWindowTitle(ToQString(state_.windowTitle));
    setObjectName(ToQString(state_.windowClassName));
    setWindowIcon(MakeIcon107());
    setCentralWidget(client_);
    BuildMenu();
    // The platform's default size; the window never follows the picture's size.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size() * 3 / 4);
    client_->setFocus();
}

void MainWindow::BuildMenu() {
    menuBar()->setNativeMenuBar(false);  // the client area lies below the menu bar
    for (const MenuPopup& popup : MainMenu) {
        QMenu* menu = menuBar()->addMenu(ToQString(popup.caption));
        for (const MenuItem& item : popup.items) {
            if (item.action == MenuAction::Separator) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(ToQString(item.caption));
            const std::uint16_t id = item.id;
            actions_[id] = action;
            marks_[id] = item.checkedAtStart;
            if (item.action != MenuAction::Other) {
                action->setCheckable(true);
                action->setChecked(item.checkedAtStart);
            }
            connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        }
    }
}

void MainWindow::RunCommand(std::uint16_t commandId) {
    // Qt has toggled a checkable item already; only the logic sets marks.
    if (QAction* action = Action(commandId); action && action->isCheckable())
        action->setChecked(marks_[commandId]);
    OnCommand(*this, state_, commandId);
}

QAction* MainWindow::Action(std::uint16_t commandId) const {
    const auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::DrawStatusText(std::string_view text) { client_->PaintStatusTextNow(text); }

void MainWindow::RequestRepaint() { client_->update(); }

void MainWindow::SetMenuCheck(std::uint16_t commandId, bool checked) {
    QAction* action = Action(commandId);
    if (!action) return;
    marks_[commandId] = checked;
    action->setCheckable(true);
    action->setChecked(checked);
}

void MainWindow::Destroy() { close(); }

void MainWindow::PostQuit(int exitCode) { QCoreApplication::exit(exitCode); }

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (destroyed_) return;
    destroyed_ = true;
    OnDestroy(*this, state_);
}

}  // namespace prismview
