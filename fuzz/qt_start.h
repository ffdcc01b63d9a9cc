// The one Qt application object a fuzz target needs, on the offscreen
// platform and without Qt's diagnostics.
#pragma once

#include <QGuiApplication>
#include <QImageReader>

#include <cstdint>
#include <string_view>

#include "io/picture_file.h"

namespace prismview::fuzz {

inline void StartQt() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "prismview-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* const app = new QGuiApplication(argc, argv);  // lives as long as the process
    (void)app;
}

// The memory the picture targets give the read path: the guard lets about
// 1.3 million pixels in.
constexpr std::int64_t kReadMemory = std::int64_t{64} << 20;

// Qt started for a target of the read path. The read path sets Qt's ceiling
// for one decoded picture once, on its first read, from the machine's
// memory; here it is replaced with the ceiling that goes with kReadMemory,
// as on a machine that small.
inline void StartReadPath() {
    StartQt();
    ReadPictureData(std::string_view());
    QImageReader::setAllocationLimit(DecodeLimitMegabytes(kReadMemory));
}

}  // namespace prismview::fuzz
