#include "io/damage.h"

#include <QLoggingCategory>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace prismview {

namespace {

thread_local std::vector<std::string>* tKept = nullptr;  // the innermost DecoderMessages of this thread
thread_local bool tPassingOn = false;
std::atomic<QtMessageHandler> gPrevious{nullptr};
std::atomic<QLoggingCategory::CategoryFilter> gPreviousFilter{nullptr};

// Qt's own readers (PNG, JPEG, GIF...) log under qt.gui.imageio*.
bool FromDecoder(const char* category) {
    return category && std::string_view(category).starts_with("qt.gui.imageio");
}

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (tKept && FromDecoder(context.category)) {
        tKept->push_back(message.toStdString());
        return;
    }
    // A handler installed after ours that hands messages back to its
    // predecessor would otherwise send them round for ever.
    const QtMessageHandler previous = gPrevious.load();
    if (tPassingOn || !previous) return;
    tPassingOn = true;
    previous(type, context, message);
    tPassingOn = false;
}

// The decoders' warnings are what tells damage: logging rules that turn
// them off (QT_LOGGING_RULES="*.warning=false") must not hide it.
void KeepDecoderWarnings(QLoggingCategory* category) {
    if (const QLoggingCategory::CategoryFilter previous = gPreviousFilter.load()) previous(category);
    if (FromDecoder(category->categoryName())) category->setEnabled(QtWarningMsg, true);
}

// Ours goes in front of whatever handler is there now, once per handler:
// the batch tool and the fuzz targets install theirs before the first read.
void InstallHandler() {
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const QtMessageHandler previous = qInstallMessageHandler(Handler);
    if (previous != Handler) gPrevious.store(previous);
    static std::once_flag filter;
    std::call_once(filter, [] { gPreviousFilter.store(QLoggingCategory::installFilter(KeepDecoderWarnings)); });
}

// libjpeg's warnings about the picture's data: cut short, or not what its
// codes promise (stray bytes before the end marker are what a scan decoded
// from corrupt codes leaves over). An unknown JFIF version or a bad ICC
// marker leave every pixel as the file has it.
bool MeansDamage(std::string_view message) {
    if (message.find("bad ICC marker") != std::string_view::npos) return false;
    constexpr std::array<std::string_view, 3> kDamage = {
        "Corrupt JPEG data", "Premature end of JPEG file", "Inconsistent progression sequence"};
    for (std::string_view damage : kDamage)
        if (message.find(damage) != std::string_view::npos) return true;
    return false;
}

}  // namespace

DecoderMessages::DecoderMessages() : outer_(tKept) {
    InstallHandler();
    tKept = &messages_;
}

DecoderMessages::~DecoderMessages() { tKept = outer_; }

std::string DecoderMessages::Damage() const {
    for (const std::string& message : messages_)
        if (MeansDamage(message)) return message;
    return {};
}

}  // namespace prismview
