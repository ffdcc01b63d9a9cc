// The Qt main window: the menu bar from the menu table, and the client area
// below it where the logic paints and where keys and the mouse arrive.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QWidget>

#include <map>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/window.h"

class QAction;

namespace prismview {

class ClientArea : public QWidget {
    Q_OBJECT

public:
    ClientArea(AppState& state, Window& window, QWidget* parent);
    // Paints the text at (0, 0) now, over whatever is shown, erasing nothing.
    void PaintStatusTextNow(std::string_view text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Tab is a key like any other here, not a focus move.
    bool focusNextPrevChild(bool) override { return false; }

private:
    AppState& state_;
    Window& window_;
    QString statusText_;
    bool statusPending_ = false;
};

class MainWindow : public QMainWindow, public Window {
    Q_OBJECT

public:
    explicit MainWindow(AppState& state);

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

    ClientArea* Client() const { return client_; }
    // The menu item of a command id, or null.
    QAction* Action(std::uint16_t commandId) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    void BuildAccelerators();
    void RunCommand(std::uint16_t commandId);
    std::optional<std::string> AskFileName(bool save);

    AppState& state_;
    ClientArea* client_;
    std::map<std::uint16_t, QAction*> actions_;
    std::map<std::uint16_t, bool> marks_;  // the marks only the logic sets
    bool destroyed_ = false;
};

}  // namespace prismview
