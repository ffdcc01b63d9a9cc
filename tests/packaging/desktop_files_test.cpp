// The files that make PrismView a desktop program, checked against what they
// describe: the launcher's picture types against Qt's image reader, the icons
// against the prism of icon 107, the manual page against --help.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <cstdlib>
#include <string>

#include "platform/icon.h"
#include "prismview_version.h"
#include "resources/dialog_templates.h"
#include "resources/strings.h"
#include "support/test_support.h"

namespace prismview {
namespace {

const QString kDir = QStringLiteral(PRISMVIEW_PACKAGING_DIR);
const QString kIcon = kDir + "/icons/%1/" PRISMVIEW_APP_ID ".%2";

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString ReadText(const QString& path) {
    const std::vector<unsigned char> bytes = test::ReadFileBytes(path.toStdString());
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// "Open with" offers PrismView for exactly the pictures that the reader opens:
// a type it cannot read would end in an error, a missing one hides it.
TEST(DesktopFile, ClaimsEveryPictureTypeTheImageReaderOpensAndNoOther) {
    const QString text = ReadText(kDir + "/" PRISMVIEW_APP_ID ".desktop");
    const QRegularExpressionMatch line = QRegularExpression("^MimeType=(.*)$", QRegularExpression::MultilineOption)
                                             .match(text);
    ASSERT_TRUE(line.hasMatch());
    QSet<QString> claimed;
    for (const QString& type : line.captured(1).split(';', Qt::SkipEmptyParts)) claimed.insert(type);
    QSet<QString> readable;
    for (const QByteArray& type : QImageReader::supportedMimeTypes()) readable.insert(QString::fromLatin1(type));
    EXPECT_EQ(claimed - readable, QSet<QString>()) << "claimed, but the reader cannot open them";
    EXPECT_EQ(readable - claimed, QSet<QString>()) << "readable, but not claimed";
    EXPECT_TRUE(readable.contains("image/webp") && readable.contains("image/tiff"))
        << "the image format plugins are missing (scripts/setup installs them)";
}

// On X11 a window manager finds the launcher of a window by its class, which
// is the program's class name.
TEST(DesktopFile, NamesTheWindowClassOfTheProgram) {
    const QString text = ReadText(kDir + "/" PRISMVIEW_APP_ID ".desktop");
    const QString windowClass = QString::fromUtf8(kWindowClassName.data(), kWindowClassName.size());
    EXPECT_TRUE(text.contains("\nStartupWMClass=" + windowClass + "\n"));
}

QImage LoadIcon(int size) {
    QImage image(kIcon.arg(QString("%1x%1").arg(size), "png"));
    return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(DesktopIcons, EverySizeIsASquareOfItsSizeWithATransparentBackground) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon = LoadIcon(size);
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, size - 1)), 0) << size;  // bottom left, beside the prism
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, 0)), 0) << size;  // top right, above the fan
        EXPECT_EQ(icon.pixel(size / 2, size * 3 / 4), 0xFF008080u) << size;  // the prism's teal body
    }
}

// The nearest of the 16 colours of the window's icon.
QRgb NearestIconColour(QRgb pixel) {
    QRgb best = 0;
    int bestDistance = 1 << 30;
    for (std::uint32_t colour : IconPalette) {
        int distance = 0;
        for (int shift : {0, 8, 16}) {
            const int d = int((pixel >> shift) & 0xFF) - int((colour >> shift) & 0xFF);
            distance += d * d;
        }
        if (distance < bestDistance) bestDistance = distance, best = 0xFF000000u | colour;
    }
    return best;
}

// The 32 x 32 PNG and the window's 16-colour icon are one drawing: where the
// window's icon is opaque, the PNG is opaque too, and nearly everywhere the
// same colour (the PNG smooths the edges, which mixes the colours there).
TEST(DesktopIcons, ThePngIsThePrismOfTheWindowIcon) {
    const QImage png = LoadIcon(32), window = IconImageToQImage(ProgramIconLarge);
    int opaque = 0, sameOpacity = 0, sameColour = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb a = png.pixel(x, y), b = window.pixel(x, y);
            sameOpacity += (qAlpha(a) >= 128) == (qAlpha(b) == 255);
            if (qAlpha(b) != 255) continue;
            ++opaque;
            sameColour += NearestIconColour(a) == b;
        }
    }
    EXPECT_GE(sameOpacity, 32 * 32 * 97 / 100);
    EXPECT_GE(sameColour, opaque * 85 / 100) << "of " << opaque;
}

TEST(DesktopIcons, TheScalableIconDrawsWhatThePngsShow) {
    test::TempDir dir;
    const QString rendered = QString::fromStdString(dir.Path("svg.png"));
    RunTool("rsvg-convert", {"--width=64", "--height=64", "--output", rendered, kIcon.arg("scalable", "svg")});
    const QImage svg = QImage(rendered).convertToFormat(QImage::Format_ARGB32), png = LoadIcon(64);
    ASSERT_EQ(svg.size(), png.size());
    long difference = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int shift : {0, 8, 16, 24})
                difference += std::abs(int((svg.pixel(x, y) >> shift) & 0xFF) - int((png.pixel(x, y) >> shift) & 0xFF));
    // Edges are smoothed a little differently; a shape in the wrong place or
    // colour costs far more.
    EXPECT_LT(difference, 64L * 64 * 4 * 255 * 2 / 100);
}

// Every option that --help lists is in the manual page.
TEST(ManualPages, TheBatchToolsPageDocumentsEveryOptionOfItsHelp) {
    const QString help = RunTool(PRISMVIEW_BATCH_PATH, {"--help"});
    const QString page = ReadText(kDir + "/prismview-batch.1");
    const QRegularExpression option("(?<![\\w-])(--?[a-z][a-z-]*)");
    int options = 0;
    for (const QRegularExpressionMatch& m : option.globalMatch(help)) {
        QString roff = m.captured(1);
        roff.replace("-", "\\-");
        EXPECT_TRUE(page.contains(".B " + roff) || page.contains(".BI " + roff) || page.contains(".BR " + roff) ||
                    page.contains(", " + roff))
            << m.captured(1).toStdString() << " is not in prismview-batch.1";
        ++options;
    }
    EXPECT_GE(options, 13);
    // And every mode it lists, by number and name.
    const QRegularExpression mode("^ +(\\d+) +([a-z0-9-]+) ", QRegularExpression::MultilineOption);
    int modes = 0;
    for (const QRegularExpressionMatch& m : mode.globalMatch(help.mid(help.indexOf("Modes:")))) {
        QString name = m.captured(2);
        EXPECT_TRUE(page.contains(".BR " + m.captured(1) + " \", \" " + name.replace("-", "\\-") + "\n"))
            << m.captured(2).toStdString() << " is not in prismview-batch.1";
        ++modes;
    }
    EXPECT_EQ(modes, 25);
}

TEST(Version, BothProgramsAndTheAboutBoxShowTheOneVersion) {
    EXPECT_EQ(RunTool(PRISMVIEW_BATCH_PATH, {"--version"}), "prismview-batch " PRISMVIEW_VERSION "\n");
    QProcess program;  // before and without any display
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(PRISMVIEW_PATH, {"--version"});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput().toStdString(), "prismview " PRISMVIEW_VERSION "\n");
    bool found = false;
    for (const DialogControl& control : AboutDialogTemplate().controls)
        found |= control.text == "プリズムビュー Ver " PRISMVIEW_VERSION;
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace prismview
