// The Qt main window: the menu bar and the shortcuts from the menu table,
// drops, and the client area below the menu bar. It is the Window the
// program's logic talks to, and it owns the pass beside it.
#pragma once

#include <QMainWindow>
#include <QProgressDialog>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <memory>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/background_save.h"
#include "app/pass_runner.h"
#include "app/window.h"

class QAction;
class QDialog;
class QLabel;

namespace prismview {

class ClientArea;
class CloseRequestFilter;
class ParameterPanel;
class ProbePanel;

class MainWindow : public QMainWindow, public Window {
    Q_OBJECT

public:
    explicit MainWindow(AppState& state);
    ~MainWindow() override;
    void setVisible(bool visible) override;

    void DrawStatusText(std::string_view text) override;
    void RequestRepaint() override;
    void SetMenuCheck(Command command, bool checked) override;
    void Destroy() override;
    void PostQuit(int exitCode) override;
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;
    std::optional<std::string> AskOpenFileName(const std::string& folder) override;
    std::optional<std::string> AskSaveFileName(SaveQuestion& question) override;
    bool AskWriteOptions(SaveFormat format, WriteOptions& options) override;
    bool AskSaveAll(SaveAllQuestion& question) override;
    std::optional<bool> AskGallerySize() override;
    BitmapHandle PaintPicture(Size size, const std::function<void(Canvas&)>& paint) override;
    bool ChooseColour(RgbValue& colour, std::array<RgbValue, 16>& customColours) override;
    int RunDialog(DialogLogic& logic) override;
    void PutClipboardBitmap(const Bitmap& bitmap) override;
    ClipboardBitmap TakeClipboardBitmap() override;
    void SetBusy(bool busy) override;
    void WaitUntil(const std::function<bool()>& done) override;
    void ShowStatusBar(bool shown) override;
    void ShowProbePanel(bool shown) override;
    void ShowParameterPanel(bool shown) override;
    void ShowKeyReference() override;
    void PutClipboardText(const std::string& text) override;
    std::optional<std::string> AskSweepFileName(const std::string& folder, SweepFormat format) override;
    void BeginProgress(std::string_view text, std::int32_t total) override;
    bool StepProgress(std::int32_t done) override;
    void EndProgress() override;
    void SetMenuCaption(Command command, std::string_view caption) override;
    // The status bar's text, as the state has it now.
    QString StatusText() const;

    ClientArea* Client() const { return client_; }
    ProbePanel* Probes() const { return probes_; }
    ParameterPanel* Parameters() const { return parameters_; }
    // The pass beside the window (tests hold it at a band boundary).
    PassRunner& Runner() { return *runner_; }
    // The menu item of a command, or null.
    QAction* Action(Command command) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A close request that a modal window blocked: every modal window gives
    // up as its cancel button would, a sweep stops, and the window closes.
    void CloseAnyway();
    // Runs what the pass's and the save's threads posted, on the window's thread.
    Q_INVOKABLE void RunPosted();
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The size the window starts with: what the gallery of the start picture
    // needs at its own size, within 90 % of the screen, never smaller than
    // the default.
    QSize StartSize() const;
    void BuildMenu();
    void BuildAccelerators();
    void RunCommand(Command command);
    void UpdateStatus();

    AppState& state_;
    ClientArea* client_;
    std::map<Command, QAction*> actions_;
    std::map<Command, bool> marks_;  // the marks only the logic sets
    bool destroyed_ = false;
    bool shownBefore_ = false;
    QLabel* status_;
    ProbePanel* probes_;
    ParameterPanel* parameters_ = nullptr;
    QDialog* keyReference_ = nullptr;  // made when first asked for
    QTimer noticeTimer_;  // the status bar's notice goes after a while
    std::unique_ptr<QProgressDialog> progress_;  // while a sweep is written
    QTimer progressTimer_;
    QTimer idleTimer_;  // a while after the last pass: the runner lets go of its images
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;  // from the pass's thread, for RunPosted
    std::unique_ptr<PassRunner> runner_;
    std::unique_ptr<BackgroundSave> saver_;
    std::unique_ptr<CloseRequestFilter> closeFilter_;
};

}  // namespace prismview
