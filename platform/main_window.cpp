#include "platform/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QFileDialog>
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

#include <cstring>

#include "app/dialogs.h"
#include "app/input.h"
#include "app/paint.h"
#include "app/startup.h"
#include "app/commands.h"
#include "io/qt_picture.h"
#include "platform/icon.h"
#include "platform/key_map.h"
#include "platform/qt_canvas.h"
#include "platform/template_dialog.h"
#include "resources/dialog_templates.h"
#include "resources/menu.h"
#include "resources/strings.h"

namespace prismview {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Mouse positions travel as unsigned 16-bit numbers, as the hit test expects.
std::uint16_t Coordinate(qreal v) { return static_cast<std::uint16_t>(static_cast<int>(v)); }

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
    setWindowTitle(ToQString(WindowTitle(state_)));
    setAcceptDrops(true);
    setObjectName(ToQString(state_.windowClassName));
    setWindowIcon(MakeIcon107());
    setCentralWidget(client_);
    BuildMenu();
    BuildAccelerators();
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
