// The Qt main window: the menu bar from the menu table, and the client area
// below it where the logic paints and where keys and the mouse arrive.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/pass_runner.h"
#include "app/window.h"

class QAction;
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
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Tab is a key like any other here, not a focus move.
    bool focusNextPrevChild(bool) override { return false; }

private:
    // A position of the widget in screen pixels, as the logic counts them.
    std::uint16_t ScreenCoordinate(qreal v) const;

    AppState& state_;
    Window& window_;
    QString statusText_;
    bool statusPending_ = false;
    QScrollBar* horizontal_;
    QScrollBar* vertical_;
    bool syncing_ = false;  // the bars are being set from the view, not moved by the user
};

class MainWindow : public QMainWindow, public Window {
    Q_OBJECT

public:
    explicit MainWindow(AppState& state);
    ~MainWindow() override;
    void setVisible(bool visible) override;

    void DrawStatusText(std::string_view text) override;
    void RequestRepaint() override;
    void SetMenuCheck(std::uint16_t commandId, bool checked) override;
    void Destroy() override;
    void PostQuit(int exitCode) override;
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;
    std::optional<std::string> AskOpenFileName() override;
    std::optional<std::string> AskSaveFileName() override;
    bool ChooseColour(std::uint32_t& colorRef, std::array<std::uint32_t, 16>& customColors) override;
    int RunDialog(DialogLogic& logic) override;
    void PutClipboardBitmap(const Bitmap& bitmap) override;
    ClipboardBitmap TakeClipboardBitmap() override;
    void SetBusy(bool busy) override;
    void WaitUntil(const std::function<bool()>& done) override;

    ClientArea* Client() const { return client_; }
    // The pass beside the window (tests hold it at a band boundary).
    PassRunner& Runner() { return *runner_; }
    // The menu item of a command id, or null.
    QAction* Action(std::uint16_t commandId) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The size the window starts with: what the gallery of the start picture
    // needs at its own size, within 90 % of the screen, never smaller than
    // the default.
    QSize StartSize() const;
    void BuildMenu();
    void BuildAccelerators();
    void RunCommand(std::uint16_t commandId);
    std::optional<std::string> AskFileName(bool save);

    AppState& state_;
    ClientArea* client_;
    std::map<std::uint16_t, QAction*> actions_;
    std::map<std::uint16_t, bool> marks_;  // the marks only the logic sets
    bool destroyed_ = false;
    bool shownBefore_ = false;
    std::unique_ptr<PassRunner> runner_;
};

}  // namespace prismview
