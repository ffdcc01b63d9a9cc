#include "platform/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QStatusBar>
#include <QWindow>
#include <QDialog>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/commands.h"
#include "app/probe.h"
#include "app/status.h"
#include "app/input.h"
#include "app/key_reference.h"
#include "app/startup.h"
#include "app/view.h"
#include "io/picture_file.h"
#include "io/qt_picture.h"
#include "platform/client_area.h"
#include "platform/close_request.h"
#include "platform/icon.h"
#include "platform/parameter_panel.h"
#include "platform/probe_panel.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "platform/system_dialogs.h"
#include "platform/template_dialog.h"
#include "resources/dialog_templates.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// People press, look and press again: a pause of seconds is the normal case,
// and the pass after it must not fault the runner's images in anew. A window
// left alone for a minute keeps only what it shows.
constexpr std::chrono::milliseconds kReleaseAfterIdle{60000};

// The default size: the window never shrinks below it.
QSize DefaultSize(const QScreen& screen) { return screen.availableGeometry().size() * 3 / 4; }

// The shortcuts: keys that reach the commands instead of the key handler.
struct Accelerator {
    QKeyCombination keys;
    Command command;
};
// "/" and "?" count as the characters they type, whether or not the layout
// needs Shift for them.
const Accelerator kAccelerators[] = {
    {Qt::ALT | Qt::Key_Slash, Command::About},
    {Qt::ALT | Qt::SHIFT | Qt::Key_Slash, Command::About},
    {Qt::ALT | Qt::Key_Question, Command::About},
    {Qt::ALT | Qt::SHIFT | Qt::Key_Question, Command::About},
    {Qt::CTRL | Qt::Key_C, Command::Copy},
    {Qt::CTRL | Qt::Key_V, Command::Paste},
    // The zoom: "+" and "=" share a key on many layouts.
    {Qt::CTRL | Qt::Key_Plus, Command::ZoomIn},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Plus, Command::ZoomIn},
    {Qt::CTRL | Qt::Key_Equal, Command::ZoomIn},
    {Qt::CTRL | Qt::Key_Minus, Command::ZoomOut},
    {Qt::CTRL | Qt::Key_0, Command::FitToWindow},
    {Qt::CTRL | Qt::Key_Z, Command::Undo},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Command::Redo},
    {Qt::CTRL | Qt::Key_Y, Command::Redo},
    {Qt::Key_F1, Command::KeyReference},
};

// A menu caption as the key reference names the command: without its
// mnemonic, the shortcut it shows and the dots.
QString CommandName(Command command) {
    const MenuItem* item = FindMenuItem(command);
    QString caption = item ? ToQString(item->caption) : QString();
    caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|\\.\\.\\.| (Ctrl|F1).*$")));
    return caption.trimmed();
}

}  // namespace

MainWindow::MainWindow(AppState& state) : state_(state), client_(new ClientArea(state, *this, this)) {
    setWindowTitle(ToQString(WindowTitle(state_)));
    setAcceptDrops(true);
    setWindowIcon(MakeProgramIcon());
    setCentralWidget(client_);
    // The status bar: what the mode reads, the size and scale, the probe.
    status_ = new QLabel(this);
    status_->setTextFormat(Qt::RichText);
    // Long probe lines are cut at the window's edge: they never widen the window.
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status_->setMinimumWidth(1);
    // One font with the Japanese glyphs for all of it: Latin text falling
    // back to another font would change the bar's height between modes.
    QFont statusFont = status_->font();
    statusFont.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    status_->setFont(statusFont);
    statusBar()->addWidget(status_, 1);
    statusBar()->setSizeGripEnabled(false);
    probes_ = new ProbePanel(
        this, [this](std::int32_t number) { number == 0 ? ClearPins(*this, state_) : RemovePin(*this, state_, number); },
        [this] { PutClipboardText(ProbeTableCsv(state_)); });
    addDockWidget(Qt::BottomDockWidgetArea, probes_);
    probes_->hide();
    parameters_ = new ParameterPanel(this, *this, state_, client_);
    addDockWidget(Qt::RightDockWidgetArea, parameters_);
    parameters_->hide();
    noticeTimer_.setSingleShot(true);
    noticeTimer_.setInterval(5000);
    connect(&noticeTimer_, &QTimer::timeout, this, [this] {
        state_.view.notice.clear();
        UpdateStatus();
    });
    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { UpdateStatus(); });
    BuildMenu();
    BuildAccelerators();
    // Until it is shown and knows its start picture.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(DefaultSize(*screen));
    client_->setFocus();
    // Passes run beside the window; a completed one's images arrive here
    // through the event loop (dropped with the window if it is gone).
    // Passes and saves run beside the window; what they hand back arrives
    // here through the event loop (dropped with the window if it is gone).
    auto post = [this](std::function<void()> f) {
        {
            const std::lock_guard lock(postedMutex_);
            posted_.push_back(std::move(f));
        }
        // By name: the call's event is made and freed inside Qt, and what
        // it carries over is under our own lock (which the thread
        // sanitizer sees, unlike Qt's).
        QMetaObject::invokeMethod(this, "RunPosted", Qt::QueuedConnection);
    };
    runner_ = std::make_unique<PassRunner>(state_.shown, PassRunner::Delivery::Queued, post, [this] {
        SetBusy(runner_->Busy());
        RequestRepaint();
        if (!runner_->Busy()) idleTimer_.start();
    });
    saver_ = std::make_unique<BackgroundSave>(post);
    state_.saver = saver_.get();
    closeFilter_ = std::make_unique<CloseRequestFilter>(this, [this] { CloseAnyway(); });
    QCoreApplication::instance()->installNativeEventFilter(closeFilter_.get());
    // Passes run on the same images until the window has been idle a minute.
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(kReleaseAfterIdle);
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        if (!runner_ || !runner_->ReleaseIdleMemory()) return;
#ifdef __GLIBC__
        malloc_trim(0);  // and the heap gives back what the images' neighbours left
#endif
    });
    state_.passRunner = runner_.get();
}

MainWindow::~MainWindow() {
    // The panel's controls talk to this window: they go while it is whole.
    delete parameters_;
    parameters_ = nullptr;
    if (QCoreApplication* application = QCoreApplication::instance()) application->removeNativeEventFilter(closeFilter_.get());
    state_.saver = nullptr;
    saver_.reset();  // a save in progress is written first
    state_.passRunner = nullptr;
    runner_.reset();  // cancels a running pass and waits for its thread
}

void MainWindow::RunPosted() {
    std::deque<std::function<void()>> ready;
    {
        const std::lock_guard lock(postedMutex_);
        ready.swap(posted_);
    }
    for (std::function<void()>& f : ready) f();
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
                       static_cast<int>(std::ceil(gallery.height / ratio)) + menuBar()->sizeHint().height() +
                           (statusBar()->isHidden() ? 0 : statusBar()->sizeHint().height()));
    return needed.boundedTo(screen->availableGeometry().size() * 9 / 10).expandedTo(DefaultSize(*screen));
}

void MainWindow::setVisible(bool visible) {
    // Sized before the first show, so that the client area gets its size, and
    // the pictures their copies, once.
    const bool first = visible && !shownBefore_;
    if (first) {
        UpdateStatus();  // its height counts for the start size
        resize(StartSize());
    }
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
        // A menu closed with Escape leaves the menu bar holding the keyboard,
        // unseen: give it back to the client area once no menu is open.
        connect(menu, &QMenu::aboutToHide, this, [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!QApplication::activePopupWidget() && isActiveWindow()) client_->setFocus(Qt::OtherFocusReason);
                },
                Qt::QueuedConnection);
        });
        // The mode menu opens at the current mode, so that the arrow keys
        // step from it to its neighbours.
        // A menu opened from the keyboard marks its first item once it shows:
        // the current mode is marked after that.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            QAction* current = Action(ModeCommand(state_.params.effectMode));
            if (!current || current->parent() != menu) return;
            menu->setActiveAction(current);
            QMetaObject::invokeMethod(menu, [menu, current] { menu->setActiveAction(current); }, Qt::QueuedConnection);
        });
        for (const MenuItem& item : popup.items) {
            if (item.action == MenuAction::Separator) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(ToQString(item.caption));
            const Command id = item.id;
            actions_[id] = action;
            marks_[id] = item.checkedAtStart;
            if (item.action != MenuAction::Other && item.action != MenuAction::Zoom) {  // the items with a mark
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
        const Command id = accelerator.command;
        connect(shortcut, &QShortcut::activated, this, [this, id] { RunCommand(id); });
        connect(shortcut, &QShortcut::activatedAmbiguously, this, [this, id] { RunCommand(id); });
    }
}

void MainWindow::RunCommand(Command command) {
    // Qt has toggled a checkable item already; only the logic sets marks.
    if (QAction* action = Action(command); action && action->isCheckable()) action->setChecked(marks_[command]);
    OnCommand(*this, state_, command);
}

QAction* MainWindow::Action(Command command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::DrawStatusText(std::string_view text) { client_->PaintStatusTextNow(text); }

void MainWindow::RequestRepaint() {
    // Whatever asks for a repaint may have moved the view's limits, the
    // view under the pointer or changed the base image's file.
    KeepScrollInLimits(state_);
    FollowPointer(state_);
    setWindowTitle(ToQString(WindowTitle(state_)));
    client_->SyncScrollBars();
    client_->update();
    UpdateStatus();
    if (probes_->isVisible()) probes_->Refresh(state_);
    if (parameters_ && parameters_->isVisible()) parameters_->Refresh();
    if (!state_.view.notice.empty() && !noticeTimer_.isActive()) noticeTimer_.start();
    // Undo and redo are greyed while there is nothing to take back.
    if (QAction* undo = Action(Command::Undo)) undo->setEnabled(state_.history.CanUndo());
    if (QAction* redo = Action(Command::Redo)) redo->setEnabled(state_.history.CanRedo());
}

void MainWindow::UpdateStatus() {
    if (statusBar()->isHidden()) return;
    const std::optional<int> progress = runner_ ? runner_->Progress() : std::nullopt;
    QString html;
    for (const StatusItem& item : StatusItems(state_, progress)) {
        if (!html.isEmpty()) html += QStringLiteral("&nbsp;&nbsp;&nbsp;");
        if (item.swatch)
            html += QStringLiteral("<span style=\"background-color:#%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp;")
                        .arg(*item.swatch & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
        html += ToQString(item.text).toHtmlEscaped();
    }
    // One line for the pointer's probe stays reserved, so that the client
    // area keeps its size (and the tiles their scale) as the pointer comes
    // and goes; the pinned probes are the probe panel's.
    const std::string line = PointerProbeLine(state_);
    html += QStringLiteral("<br>") + (line.empty() ? QStringLiteral("&nbsp;") : ToQString(line).toHtmlEscaped());
    status_->setText(html);
    // A running pass's progress, or a save's time, is read again until it ends.
    const bool running = progress || (saver_ && saver_->Busy());
    if (running && !progressTimer_.isActive()) progressTimer_.start();
    if (!running) progressTimer_.stop();
}

QString MainWindow::StatusText() const { return status_->text(); }

void MainWindow::ShowStatusBar(bool shown) {
    statusBar()->setVisible(shown);
    UpdateStatus();
}

void MainWindow::ShowProbePanel(bool shown) {
    probes_->setVisible(shown);
    if (shown) probes_->Refresh(state_);
}

void MainWindow::ShowParameterPanel(bool shown) {
    if (!parameters_) return;
    parameters_->setVisible(shown);
    if (shown) parameters_->Refresh();
}

void MainWindow::ShowKeyReference() {
    // Made anew unless it is up: the steps it names may have changed.
    if (keyReference_ && !keyReference_->isVisible()) {
        delete keyReference_;
        keyReference_ = nullptr;
    }
    if (!keyReference_) {
        // The keys of the program's table, the view's keys and the mouse,
        // then the shortcuts of the menu commands, several keys to a line.
        std::vector<std::pair<QString, QString>> lines;
        for (const KeyReferenceLine& line : KeyReference(state_)) lines.emplace_back(ToQString(line.keys), ToQString(line.does));
        std::vector<std::pair<Command, QString>> shortcuts;
        for (const Accelerator& accelerator : kAccelerators) {
            const QString keys = QKeySequence(accelerator.keys).toString(QKeySequence::NativeText);
            auto same = std::find_if(shortcuts.begin(), shortcuts.end(), [&](const auto& s) { return s.first == accelerator.command; });
            if (same == shortcuts.end()) shortcuts.emplace_back(accelerator.command, keys);
            else if (!same->second.split(QStringLiteral(" / ")).contains(keys)) same->second += QStringLiteral(" / ") + keys;
        }
        for (const auto& [command, keys] : shortcuts) lines.emplace_back(keys, CommandName(command));
        lines.emplace_back(QStringLiteral("Alt+F4 / 閉じるボタン"), CommandName(Command::Exit));

        keyReference_ = new QDialog(this);
        keyReference_->setWindowTitle(QStringLiteral("キーとマウスの操作"));
        auto* table = new QTableWidget(static_cast<int>(lines.size()), 2, keyReference_);
        table->setObjectName(QStringLiteral("keyTable"));
        table->setHorizontalHeaderLabels({QStringLiteral("キー・マウス"), QStringLiteral("働き")});
        table->verticalHeader()->hide();
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
            table->setItem(row, 0, new QTableWidgetItem(lines[static_cast<std::size_t>(row)].first));
            table->setItem(row, 1, new QTableWidgetItem(lines[static_cast<std::size_t>(row)].second));
        }
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
        table->resizeColumnsToContents();
        table->horizontalHeader()->setStretchLastSection(true);
        auto* layout = new QVBoxLayout(keyReference_);
        layout->addWidget(table);
        keyReference_->resize(table->horizontalHeader()->length() + 60,
                              table->horizontalHeader()->height() + table->rowCount() * (table->fontMetrics().height() + 4) + 40);
    }
    keyReference_->show();
    keyReference_->raise();
    keyReference_->activateWindow();
}

void MainWindow::SetMenuCheck(Command command, bool checked) {
    QAction* action = Action(command);
    if (!action) return;
    marks_[command] = checked;
    action->setCheckable(true);
    action->setChecked(checked);
}

void MainWindow::Destroy() { close(); }

void MainWindow::PostQuit(int exitCode) { QCoreApplication::exit(exitCode); }

MessageAnswer MainWindow::ShowMessage(const MessageBoxRequest& request) {
    // A status text drawn at once ("reading the picture") would stay on the
    // screen behind the box: the client area shows the state again first.
    client_->repaint();
    return ShowMessageBox(this, request);
}

std::optional<std::string> MainWindow::AskOpenFileName(const std::string& folder) {
    return AskFileName(this, folder, false);
}

std::optional<std::string> MainWindow::AskSaveFileName(SaveQuestion& question) {
    return prismview::AskSaveFileName(this, question);
}

bool MainWindow::AskWriteOptions(SaveFormat format, WriteOptions& options) {
    return prismview::AskWriteOptions(this, format, options);
}

bool MainWindow::AskSaveAll(SaveAllQuestion& question) { return prismview::AskSaveAll(this, question); }

std::optional<bool> MainWindow::AskGallerySize() { return prismview::AskGallerySize(this); }

BitmapHandle MainWindow::PaintPicture(Size size, const std::function<void(Canvas&)>& paint) {
    BitmapHandle picture = size.width > 0 && size.height > 0 ? Bitmap::Create(size.width, size.height) : nullptr;
    if (!picture) return nullptr;
    // The store's pixels are Format_RGB32's: Qt paints straight into them.
    QImage image(reinterpret_cast<uchar*>(picture->Scanline(0)), size.width, size.height,
                 static_cast<qsizetype>(picture->BytesPerLine()), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(client_->font());
        QtCanvas canvas(painter, 1.0);
        paint(canvas);
    }
    return picture;
}

bool MainWindow::ChooseColour(RgbValue& colour, std::array<RgbValue, 16>& customColours) {
    return prismview::ChooseColour(this, colour, customColours);
}

int MainWindow::RunDialog(DialogLogic& logic) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(logic.TemplateId());
    if (!dialogTemplate) return 0;
    const ReactivateAfter reactivate(this);
    TemplateDialog dialog(*dialogTemplate, logic, this, client_->mapToGlobal(QPoint(0, 0)));
    return dialog.Run();
}

void MainWindow::PutClipboardBitmap(const Bitmap& bitmap) { prismview::PutClipboardBitmap(bitmap); }

ClipboardBitmap MainWindow::TakeClipboardBitmap() { return prismview::TakeClipboardBitmap(); }

void MainWindow::PutClipboardText(const std::string& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(ToQString(text));
}

std::optional<std::string> MainWindow::AskSweepFileName(const std::string& folder, SweepFormat format) {
    return prismview::AskSweepFileName(this, folder, format);
}

void MainWindow::BeginProgress(std::string_view text, std::int32_t total) {
    progress_ = std::make_unique<QProgressDialog>(ToQString(text), QStringLiteral("ｷｬﾝｾﾙ"), 0, total, this);
    progress_->setWindowTitle(ToQString(kWindowTitle));
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoReset(false);
    progress_->setValue(0);
}

bool MainWindow::StepProgress(std::int32_t done) {
    if (!progress_) return true;
    progress_->setValue(done);
    QCoreApplication::processEvents();
    return !progress_->wasCanceled();
}

void MainWindow::EndProgress() { progress_.reset(); }

void MainWindow::SetMenuCaption(Command command, std::string_view caption) {
    if (QAction* action = Action(command)) action->setText(ToQString(caption));
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
    ReadResult read = PictureFromMimeData(*mime, AvailableMemory());
    const bool none = read.failure == ReadFailure::NotAPicture;
    UsePicture(*this, state_,
               {std::move(read.bitmap), std::string(kDroppedSource), none ? std::string() : read.reason, std::move(read.damage)});
}

void MainWindow::CloseAnyway() {
    if (progress_) progress_->cancel();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible() && dialog->isModal()) dialog->reject();
    // Once the dialogs' loops have ended: the command that opened them
    // returns first.
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (destroyed_) return;
    destroyed_ = true;
    if (progress_) progress_->cancel();  // a sweep being written stops after its frame and leaves nothing
    // A save in progress is finished first: the window goes at once, the
    // program once the file is written.
    if (saver_ && saver_->Busy()) {
        hide();
        saver_->Wait();
    }
    OnDestroy(*this, state_);
}

}  // namespace prismview
