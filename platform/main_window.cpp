#include "platform/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/dialogs.h"
#include "app/input.h"
#include "app/paint.h"
#include "app/startup.h"
#include "app/commands.h"
#include "app/view.h"
#include "io/qt_picture.h"
#include "platform/icon.h"
#include "platform/key_map.h"
#include "platform/qt_canvas.h"
#include "platform/template_dialog.h"
#include "resources/dialog_templates.h"
#include "app/menu.h"
#include "resources/strings.h"

namespace prismview {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Mouse positions travel as unsigned 16-bit numbers, as the hit test expects.
std::uint16_t Coordinate(qreal v) { return static_cast<std::uint16_t>(static_cast<int>(v)); }

// One step of a scroll bar's arrows and, times the system's wheel lines, of a
// wheel notch; in widget pixels.
constexpr int kScrollLine = 20;

// The default size: the window never shrinks below it.
QSize DefaultSize(const QScreen& screen) { return screen.availableGeometry().size() * 3 / 4; }

QColor FromColorRef(std::uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 255u), static_cast<int>((colorRef >> 8) & 255u),
                  static_cast<int>((colorRef >> 16) & 255u));
}

std::uint32_t ToColorRef(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
           static_cast<std::uint32_t>(colour.blue()) << 16;
}

// Gives the main window the focus back when a modal dialog or message box
// ends, as the owner of a modal dialog gets it; without a window manager
// (a bare X display) nothing else would, and the accelerators would stay off.
class ReactivateAfter {
public:
    explicit ReactivateAfter(QWidget* window) : window_(window) {}
    ~ReactivateAfter() {
        if (window_ && window_->isVisible()) window_->activateWindow();
    }
    ReactivateAfter(const ReactivateAfter&) = delete;
    ReactivateAfter& operator=(const ReactivateAfter&) = delete;

private:
    QPointer<QWidget> window_;
};

// The accelerator table: keys that reach the commands instead of the key handler.
struct Accelerator {
    QKeyCombination keys;
    std::uint16_t command;
};
// "/" and "?" count as the characters they type, whether or not the layout
// needs Shift for them.
const Accelerator kAccelerators[] = {
    {Qt::ALT | Qt::Key_Slash, CmdAbout},
    {Qt::ALT | Qt::SHIFT | Qt::Key_Slash, CmdAbout},
    {Qt::ALT | Qt::Key_Question, CmdAbout},
    {Qt::ALT | Qt::SHIFT | Qt::Key_Question, CmdAbout},
    {Qt::CTRL | Qt::Key_C, CmdCopy},
    {Qt::CTRL | Qt::Key_V, CmdPaste},
};

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

std::uint16_t ClientArea::ScreenCoordinate(qreal v) const { return Coordinate(v * devicePixelRatioF()); }

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
    RefreshView(state_, false);
    SyncScrollBars();
}

void ClientArea::SyncScrollBars() {
    const ViewState& view = state_.view;
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
    const QSize room(size.width() - (view.verticalBar ? extent : 0), size.height() - (view.horizontalBar ? extent : 0));
    syncing_ = true;
    set(horizontal_, view.horizontalBar, QRect(0, size.height() - extent, room.width(), extent), view.scrollX,
        view.content.width, view.viewport.width);
    set(vertical_, view.verticalBar, QRect(size.width() - extent, 0, extent, room.height()), view.scrollY,
        view.content.height, view.viewport.height);
    syncing_ = false;
}

void ClientArea::PaintStatusTextNow(std::string_view text) {
    statusText_ = ToQString(text);
    statusPending_ = true;
    repaint(QtCanvas::TextRect(font(), 0, 0, text));  // nothing happens while hidden
    statusPending_ = false;
}

void ClientArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect statusRect = QtCanvas::TextRect(font(), 0, 0, statusText_.toStdString());
    // A status paint may carry a repaint that was already due; do that one in full.
    const bool whole = !statusPending_ || !statusRect.contains(event->rect());
    if (whole) painter.fillRect(rect(), palette().color(QPalette::Base));
    QtCanvas canvas(painter, devicePixelRatioF());
    if (whole) PaintMainWindow(canvas, state_);
    if (whole && horizontal_->isVisible() && vertical_->isVisible()) {  // the corner between the bars
        painter.resetTransform();
        painter.fillRect(QRect(vertical_->x(), horizontal_->y(), vertical_->width(), horizontal_->height()),
                         palette().color(QPalette::Window));
    }
    if (statusPending_) canvas.DrawText(0, 0, statusText_.toStdString());
}

void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateView();
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
    OnMouseMove(window_, state_, ScreenCoordinate(event->position().x()), ScreenCoordinate(event->position().y()));
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    const std::uint16_t x = ScreenCoordinate(event->position().x());
    const std::uint16_t y = ScreenCoordinate(event->position().y());
    if (event->button() == Qt::LeftButton)
        OnLeftButtonDown(window_, state_, x, y);
    else if (event->button() == Qt::RightButton)
        OnRightButtonDown(window_, state_, x, y);
}

void ClientArea::wheelEvent(QWheelEvent* event) {
    // angleDelta counts eighths of a degree, 120 to a notch.
    const double perEighth =
        QApplication::wheelScrollLines() * kScrollLine * devicePixelRatioF() / 120.0;
    const QPoint angle = event->angleDelta();
    OnWheel(window_, state_, static_cast<std::int32_t>(angle.x() * perEighth),
            static_cast<std::int32_t>(angle.y() * perEighth), event->modifiers().testFlag(Qt::ShiftModifier));
    event->accept();
}

MainWindow::MainWindow(AppState& state) : state_(state), client_(new ClientArea(state, *this, this)) {
    setWindowTitle(ToQString(WindowTitle(state_)));
    setAcceptDrops(true);
    setObjectName(ToQString(state_.windowClassName));
    setWindowIcon(MakeIcon107());
    setCentralWidget(client_);
    BuildMenu();
    BuildAccelerators();
    // Until it is shown and knows its start picture.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(DefaultSize(*screen));
    client_->setFocus();
    // Passes run beside the window; a completed one's images arrive here
    // through the event loop (dropped with the window if it is gone).
    runner_ = std::make_unique<PassRunner>(
        state_, [this](std::function<void()> f) { QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection); },
        [this] {
            RefreshView(state_, false);
            SetBusy(state_.passRunner && state_.passRunner->Busy());
            RequestRepaint();
        });
    state_.passRunner = runner_.get();
}

MainWindow::~MainWindow() {
    state_.passRunner = nullptr;
    runner_.reset();  // cancels a running pass and waits for its thread
}

void MainWindow::SetBusy(bool busy) {
    // Arrow and wait sign: the window still takes clicks while the pass runs.
    if (busy) client_->setCursor(Qt::BusyCursor);
    else client_->unsetCursor();
}

void MainWindow::WaitUntil(const std::function<bool()>& done) {
    SetBusy(true);
    // Painting goes on, the user's input waits. The pass's end is taken
    // here, not from the event queue: a wait inside a queued call would not
    // see calls queued after it.
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        runner_->AwaitEnd(std::chrono::milliseconds(10));
    }
    SetBusy(false);
}

QSize MainWindow::StartSize() const {
    const QScreen* screen = this->screen();
    if (!screen) return size();
    const qreal ratio = screen->devicePixelRatio();
    // The gallery at scale 1 counts screen pixels; the window counts its own.
    const Size gallery = ContentSize(state_, Scale{});
    const QSize needed(static_cast<int>(std::ceil(gallery.width / ratio)),
                       static_cast<int>(std::ceil(gallery.height / ratio)) + menuBar()->sizeHint().height());
    return needed.boundedTo(screen->availableGeometry().size() * 9 / 10).expandedTo(DefaultSize(*screen));
}

void MainWindow::setVisible(bool visible) {
    // Sized before the first show, so that the client area gets its size, and
    // the pictures their copies, once.
    const bool first = visible && !shownBefore_;
    if (first) resize(StartSize());
    QMainWindow::setVisible(visible);
    if (!first) return;
    shownBefore_ = true;
    // Another screen may have other pixels: the scale follows them.
    if (QWindow* handle = windowHandle())
        connect(handle, &QWindow::screenChanged, client_, [this] { client_->UpdateView(); });
}

void MainWindow::BuildMenu() {
    menuBar()->setNativeMenuBar(false);  // the client area lies below the menu bar
    for (const MenuPopup& popup : MainMenu()) {
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

void MainWindow::BuildAccelerators() {
    // Window shortcuts act only while the main window is the active window,
    // so a modal dialog turns them off; a key they take never reaches the
    // client area's key handler.
    for (const Accelerator& accelerator : kAccelerators) {
        auto* shortcut = new QShortcut(QKeySequence(accelerator.keys), this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(true);
        const std::uint16_t id = accelerator.command;
        connect(shortcut, &QShortcut::activated, this, [this, id] { RunCommand(id); });
        connect(shortcut, &QShortcut::activatedAmbiguously, this, [this, id] { RunCommand(id); });
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

void MainWindow::RequestRepaint() {
    // Whatever asks for a repaint may have changed the base image's file.
    setWindowTitle(ToQString(WindowTitle(state_)));
    client_->SyncScrollBars();
    client_->update();
}

void MainWindow::SetMenuCheck(std::uint16_t commandId, bool checked) {
    QAction* action = Action(commandId);
    if (!action) return;
    marks_[commandId] = checked;
    action->setCheckable(true);
    action->setChecked(checked);
}

void MainWindow::Destroy() { close(); }

void MainWindow::PostQuit(int exitCode) { QCoreApplication::exit(exitCode); }

MessageAnswer MainWindow::ShowMessage(const MessageBoxRequest& request) {
    const ReactivateAfter reactivate(this);
    const bool yesNo = request.buttons == MessageButtons::YesNo;
    QMessageBox box(request.icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon,
                    ToQString(request.caption), ToQString(request.text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, request.owned ? this : nullptr);
    box.setTextFormat(Qt::PlainText);
    if (yesNo) {
        box.setDefaultButton(request.defaultButton == MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    switch (box.exec()) {
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        default: return yesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

namespace {

QStringList OpenFilters() {
    QString patterns;
    for (const std::string& pattern : ReadablePatterns()) patterns += (patterns.isEmpty() ? "" : " ") + ToQString(pattern);
    return {ToQString(kPictureFilterName) + " (" + patterns + ')',
            ToQString(kBmpFilterName) + " (" + ToQString(kBmpFilterPattern) + ')', ToQString(kAllFilesFilter)};
}

QStringList SaveFilters() {
    return {ToQString(kBmpFilterName) + " (" + ToQString(kBmpFilterPattern) + ')', QStringLiteral("PNG (*.png)"),
            QStringLiteral("JPEG (*.jpg *.jpeg)"), QStringLiteral("WebP (*.webp)"), QStringLiteral("TIFF (*.tif *.tiff)")};
}

}  // namespace

std::optional<std::string> MainWindow::AskFileName(bool save) {
    const ReactivateAfter reactivate(this);
    const QString folder = state_.lastFolder.empty() ? QDir::currentPath() : ToQString(state_.lastFolder);
    QFileDialog dialog(this, QString(), folder);
    dialog.setNameFilters(save ? SaveFilters() : OpenFilters());
    // Qt's own dialog, the same on every desktop; the writer asks about
    // overwriting, not the dialog, and a name need not exist yet.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save) dialog.setDefaultSuffix(QStringLiteral("bmp"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList names = dialog.selectedFiles();
    if (names.isEmpty() || names.front().isEmpty()) return std::nullopt;
    return names.front().toStdString();
}

std::optional<std::string> MainWindow::AskOpenFileName() { return AskFileName(false); }

std::optional<std::string> MainWindow::AskSaveFileName() { return AskFileName(true); }

bool MainWindow::ChooseColour(std::uint32_t& colorRef, std::array<std::uint32_t, 16>& customColors) {
    const ReactivateAfter reactivate(this);
    // Qt keeps one set of custom colours for the whole process; ours are the
    // ones the run has collected so far.
    for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, FromColorRef(customColors[static_cast<std::size_t>(i)]));
    QColorDialog dialog(FromColorRef(colorRef), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    for (int i = 0; i < 16; ++i) customColors[static_cast<std::size_t>(i)] = ToColorRef(QColorDialog::customColor(i));
    if (chosen) colorRef = ToColorRef(dialog.selectedColor());
    return chosen;
}

int MainWindow::RunDialog(DialogLogic& logic) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(logic.TemplateId());
    if (!dialogTemplate) return 0;
    const ReactivateAfter reactivate(this);
    TemplateDialog dialog(*dialogTemplate, logic, this, client_->mapToGlobal(QPoint(0, 0)));
    return dialog.Run();
}

void MainWindow::PutClipboardBitmap(const Bitmap& bitmap) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return;
    // A copy of our own: later passes and loads never change what was put there.
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    if (image.isNull()) return;
    for (std::int32_t row = 0; row < bitmap.Height(); ++row)
        std::memcpy(image.scanLine(row), bitmap.Scanline(row), static_cast<std::size_t>(bitmap.BytesPerLine()));
    clipboard->setImage(image);
}

ClipboardBitmap MainWindow::TakeClipboardBitmap() {
    ClipboardBitmap result;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        result.opened = false;
        return result;
    }
    // Text and other data are not a picture; a picture too big to be worked
    // on is as good as none.
    if (const QMimeData* mime = clipboard->mimeData()) result.bitmap = PictureFromMimeData(*mime, AvailableMemory()).bitmap;
    return result;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime && (mime->hasUrls() || mime->hasImage() || !mime->formats().filter(QStringLiteral("image/")).isEmpty()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (!mime) return;
    event->acceptProposedAction();
    // A file opens as the open command opens it (several: the first);
    // picture data, from a browser say, counts as a paste.
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            OpenFileCommand(*this, state_, url.toLocalFile().toStdString());
            return;
        }
    }
    UsePicture(*this, state_, PictureFromMimeData(*mime, AvailableMemory()).bitmap);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (destroyed_) return;
    destroyed_ = true;
    OnDestroy(*this, state_);
}

}  // namespace prismview
