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

// The read path sets Qt's ceiling for one decoded picture once, on its first
// read, from the machine's memory; a target that gives the read path less
// memory replaces it with the ceiling that goes with that, as on a machine
// that small.
inline void LimitDecodingTo(std::int64_t memory) {
    ReadPictureData(std::string_view());
    QImageReader::setAllocationLimit(DecodeLimitMegabytes(memory));
}

}  // namespace prismview::fuzz
