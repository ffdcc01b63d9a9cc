// prismview-batch end to end: the real executable on real files.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QImage>
#include <QProcess>
#include <QStringList>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "core/colour_chart.h"
#include "core/colour_counts.h"
#include "effects/mode_table.h"
#include "io/bmp_file.h"
#include "io/picture_file.h"
#include "support/test_support.h"

namespace prismview {
namespace {

struct BatchRun {
    int status = -1;
    std::string out, err;
};

// `inChild` runs in the child process just before the tool starts.
BatchRun Batch(const QStringList& arguments, const QByteArray& input = {}, const std::function<void()>& inChild = {}) {
    QProcess process;
    if (inChild) process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(PRISMVIEW_BATCH_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    BatchRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

int Lines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

struct BatchTest : ::testing::Test {
    test::TempDir dir;
    PixelBuffer base = test::Varied(9, 6);
    std::string input = dir.Path("in.bmp");
    std::string prefix = dir.Path("out_");
    void SetUp() override {
        BitmapHandle bitmap = Bitmap::Create(base.width, base.height);
        ASSERT_TRUE(WritePixels(*bitmap, base));
        ASSERT_EQ(WriteBmpFile(input, *bitmap), WriteResult::Written);
    }
    QString In() const { return QString::fromStdString(input); }
    QString Prefix() const { return QString::fromStdString(prefix); }
    bool OutputExists(int i) const { return std::filesystem::exists(prefix + std::to_string(i) + ".bmp"); }
};

TEST_F(BatchTest, WritesTheFourImagesAndPrintsTheirCaptions) {
    const BatchRun run = Batch({"--mode", "ycm-components", "--hue=700", In(), Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "黄成分\nマゼンタ成分\nシアン成分\n任意（ＹＣＭ）\n");
    EXPECT_EQ(run.err, "");
    ProcessingParams params;
    params.effectMode = ModeYcmComponents;
    params.hue = 700;
    const auto expected = test::RunPass(base, params);
    for (int i = 1; i <= 4; ++i) {
        BitmapHandle written = ReadPictureFile(prefix + std::to_string(i) + ".bmp").bitmap;
        ASSERT_TRUE(written);
        EXPECT_EQ(ReadPixels(*written).pixels, expected[i - 1].pixels) << i;
    }
}

TEST_F(BatchTest, DefaultsAreModeZeroAndEmptyCaptionsAreEmptyLines) {
    BatchRun run = Batch({In(), Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "色相反転\n明度反転\n通常反転\n－\n");
    run = Batch({"--force", "--mode", "25", "--freq", "-1/3", "--amplitude", "-4", "--phase", "2/-9",
                 "--overflow", "2", "--center", "-100,7", "--start-from-end", "--background", "FF8000", In(),
                 Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "\n\n\n\n");
}

TEST_F(BatchTest, UsageErrorsExitWithTwoAndOneLine) {
    const QStringList bad[] = {
        {},
        {In()},
        {In(), Prefix(), "extra"},
        {"--mode", "19", In(), Prefix()},
        {"--mode", "26", In(), Prefix()},
        {"--mode", "wobble", In(), Prefix()},
        {"--hue", "1530", In(), Prefix()},
        {"--hue", "12x", In(), Prefix()},
        {"--level=-1", In(), Prefix()},
        {"--background", "12345", In(), Prefix()},
        {"--freq", "1/", In(), Prefix()},
        {"--amplitude", "2147483648", In(), Prefix()},
        {"--phase", "1", In(), Prefix()},
        {"--overflow", "3", In(), Prefix()},
        {"--center", "4", In(), Prefix()},
        {"--hue", "1", "--hue", "2", In(), Prefix()},
        {"--no-such-option", In(), Prefix()},
        {"--mode", In(), Prefix()},
    };
    for (const QStringList& arguments : bad) {
        const BatchRun run = Batch(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(Lines(run.err), 1) << run.err;
        EXPECT_EQ(run.err.rfind("prismview-batch: ", 0), 0u) << run.err;
        EXPECT_FALSE(OutputExists(1));
    }
}

TEST_F(BatchTest, AnUnreadableInputExitsWithOne) {
    test::WriteFileBytes(dir.Path("junk.bmp"), {'n', 'o', 'p', 'e'});
    for (const std::string& name : {dir.Path("missing.bmp"), dir.Path("junk.bmp")}) {
        const BatchRun run = Batch({QString::fromStdString(name), Prefix()});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("prismview-batch: cannot read " + name + ": ", 0), 0u) << run.err;
        EXPECT_EQ(Lines(run.err), 1);
        EXPECT_FALSE(OutputExists(1));
    }
}

TEST_F(BatchTest, ExistingOutputsNeedForce) {
    test::WriteFileBytes(prefix + "3.bmp", {'o', 'l', 'd'});
    BatchRun run = Batch({In(), Prefix()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(prefix + "3.bmp"), std::string::npos) << run.err;
    EXPECT_EQ(test::ReadFileBytes(prefix + "3.bmp"), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_FALSE(OutputExists(1));  // nothing is written at all
    EXPECT_FALSE(OutputExists(4));

    // A wrong input is told first, even with the outputs there.
    run = Batch({QString::fromStdString(dir.Path("missing.png")), Prefix()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("prismview-batch: cannot read "), 0u) << run.err;

    run = Batch({"--force", In(), Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadFileBytes(prefix + "3.bmp").size(), 54u + 28u * 6u);
}

// --then: each pass hands on one image; what the passes before the last may
// hold, and a blank image, are bad usage.
TEST_F(BatchTest, PassesBeforeThenHandOnOneImage) {
    const BatchRun run = Batch({"--mode", "hue-rotate", "--hue", "300", "--slots", "4", "--then", "--mode", "invert",
                                "--slots", "2", In(), Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    ProcessingParams first;
    first.effectMode = ModeHueRotate;
    first.hue = 300;
    const auto handed = test::RunPass(base, first)[3];
    ProcessingParams second;
    second.effectMode = ModeInvert;
    const ReadResult written = ReadPictureFile(prefix + "2.bmp");
    ASSERT_TRUE(written.bitmap);
    EXPECT_EQ(ReadPixels(*written.bitmap).pixels, test::RunPass(handed, second)[1].pixels);
    EXPECT_FALSE(OutputExists(1));
    for (const QStringList& bad : {QStringList{"--then", In(), Prefix()},
                                   {"--slots", "1,2", "--then", In(), Prefix()},
                                   {"--mode", "invert", "--slots", "4", "--then", In(), Prefix()},
                                   {"--slots", "1", "--force", "--then", In(), Prefix()},
                                   {"--slots", "1", In(), "--then", Prefix()},
                                   {"--slots", "1", "--then", "--chart", "4x4", Prefix()}}) {
        const BatchRun refused = Batch(bad);
        EXPECT_EQ(refused.status, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(Lines(refused.err), 1) << refused.err;
    }
}

TEST_F(BatchTest, AnOutputThatCannotBeWrittenExitsWithOne) {
    const BatchRun run = Batch({In(), QString::fromStdString(dir.Path("no/such/folder/out_"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("prismview-batch: cannot write ", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(BatchTest, EveryFormatOnABadTargetIsOneLineAndTheOldFileStays) {
    namespace fs = std::filesystem;
    ProcessingParams params;
    const auto expected = test::RunPass(base, params);
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    // Writes beyond 32 bytes come back short, as on a full disk.
    const auto fullDisk = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{32, 32};
        setrlimit(RLIMIT_FSIZE, &small);
    };
    for (const char* format : {"bmp", "png", "jpg", "webp", "tif"}) {
        SCOPED_TRACE(format);
        const std::string first = std::string("out_1.") + format;
        const auto run = [&](const std::string& folder, const std::function<void()>& inChild = {}) {
            return Batch({"--force", "--format", format, In(), QString::fromStdString(folder + "/out_")}, {}, inChild);
        };
        const auto failsOnFirst = [&](const BatchRun& r, const std::string& folder) {
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err.rfind("prismview-batch: cannot write " + folder + "/" + first + ": ", 0), 0u) << r.err;
            EXPECT_EQ(Lines(r.err), 1) << r.err;
            EXPECT_EQ(r.out, "");
        };

        // A missing folder is not made.
        failsOnFirst(run(dir.Path("missing")), dir.Path("missing"));
        EXPECT_FALSE(fs::exists(dir.Path("missing")));

        // A folder in the place of the first output stays as it is.
        const std::string folder = dir.Path(std::string("dir_") + format);
        fs::create_directories(folder + "/" + first);
        failsOnFirst(run(folder), folder);
        EXPECT_EQ(test::FolderEntries(folder), std::vector<std::string>{first});
        EXPECT_TRUE(fs::is_directory(folder + "/" + first));

        // A read-only folder keeps its old file.
        const std::string locked = dir.Path(std::string("locked_") + format);
        fs::create_directory(locked);
        test::WriteFileBytes(locked + "/" + first, old);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        failsOnFirst(run(locked, test::DropPermissionOverrideForExec), locked);
        EXPECT_EQ(test::ReadFileBytes(locked + "/" + first), old);
        EXPECT_EQ(test::FolderEntries(locked), std::vector<std::string>{first});
        fs::permissions(locked, fs::perms::owner_all);

        // A link to a file elsewhere: on a full disk the file it points to
        // stays, otherwise it is replaced; the link stays a link.
        const std::string linked = dir.Path(std::string("linked_") + format);
        const std::string elsewhere = dir.Path(std::string("elsewhere_") + format);
        fs::create_directory(linked);
        fs::create_directory(elsewhere);
        test::WriteFileBytes(elsewhere + "/target", old);
        fs::create_symlink(elsewhere + "/target", linked + "/" + first);
        failsOnFirst(run(linked, fullDisk), linked);
        EXPECT_EQ(test::ReadFileBytes(elsewhere + "/target"), old);
        EXPECT_EQ(test::FolderEntries(elsewhere), std::vector<std::string>{"target"});
        EXPECT_EQ(test::FolderEntries(linked), std::vector<std::string>{first});

        const BatchRun written = run(linked);
        ASSERT_EQ(written.status, 0) << written.err;
        EXPECT_TRUE(fs::is_symlink(linked + "/" + first));
        EXPECT_EQ(test::FolderEntries(elsewhere), std::vector<std::string>{"target"});
        ReadResult back = ReadPictureFile(elsewhere + "/target");
        ASSERT_TRUE(back.bitmap) << back.reason;
        EXPECT_EQ(back.bitmap->Width(), base.width);
        if (std::string(format) != "jpg" && std::string(format) != "webp") {
            EXPECT_EQ(ReadPixels(*back.bitmap).pixels, expected[0].pixels);
        }
    }
}

// The probe prints the base's and the four outputs' colours at each point,
// as the images the run writes have them; the rest of the run is unchanged.
TEST_F(BatchTest, ProbesPrintTheColoursOfTheBaseAndTheOutputs) {
    const BatchRun plain = Batch({"--mode", "hue-rotate", "--hue", "300", In(), Prefix()});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const BatchRun table = Batch({"--mode", "hue-rotate", "--hue", "300", "--probe", "2,1", "--probe", "8,5", "--force",
                                  In(), Prefix()});
    ASSERT_EQ(table.status, 0) << table.err;
    ASSERT_EQ(table.out.rfind(plain.out, 0), 0u);  // the captions first, as without probes
    std::vector<RgbValue> expected;
    for (const auto& [x, y] : {std::pair{2, 1}, std::pair{8, 5}}) {
        const std::int32_t row = base.height - 1 - y;  // the buffers count rows from the bottom
        expected.push_back(base.At(x, row));
        for (int slot = 1; slot <= 4; ++slot) {
            ProcessingParams params;
            params.effectMode = ModeHueRotate;
            params.hue = 300;
            expected.push_back(test::RunSlot(base, params, slot).At(x, row));
        }
    }
    auto colours = [](const std::string& text) {
        std::vector<std::string> found;
        for (std::size_t at = text.find('#'); at != std::string::npos; at = text.find('#', at + 1))
            found.push_back(text.substr(at, 7));
        return found;
    };
    std::vector<std::string> hex;
    for (RgbValue c : expected) {
        char text[8];
        std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(c));
        hex.emplace_back(text);
    }
    EXPECT_EQ(colours(table.out), hex);
    EXPECT_EQ(Lines(table.out), 4 + 2);
    for (const char* format : {"csv", "json"}) {
        const BatchRun run = Batch({"--mode", "hue-rotate", "--hue", "300", "--probe", "2,1", "--probe", "8,5",
                                    "--probe-format", format, "--force", In(), Prefix()});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(colours(run.out), hex) << format;
    }
    // For scripts, standard output is only the CSV or the JSON, captions inside.
    const BatchRun json = Batch({"--mode", "hue-rotate", "--probe", "0,0", "--probe-format", "json", "--force", In(), Prefix()});
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
    const QJsonArray images = document.array().at(0).toObject().value("images").toArray();
    ASSERT_EQ(images.size(), 5);
    EXPECT_EQ(images.at(0).toObject().value("caption").toString().toStdString(), "ベース画像");
    EXPECT_EQ(images.at(1).toObject().value("caption").toString().toStdString(), LabelsOf(FindMode(ModeHueRotate))[1]);
    EXPECT_EQ(images.at(4).toObject().value("colour").toString().size(), 7);
    EXPECT_NE(json.err.find(LabelsOf(FindMode(ModeHueRotate))[1]), std::string::npos);
    const BatchRun csv = Batch({"--probe", "0,0", "--probe-format", "csv", "--force", In(), Prefix()});
    EXPECT_EQ(csv.out.rfind("x,y,image,colour,r,g,b,hue,l,t,caption\n0,0,0,#", 0), 0u) << csv.out;
    EXPECT_EQ(Lines(csv.out), 1 + 5);

    // A point outside the picture: an error before anything is written.
    for (int i = 1; i <= 4; ++i) std::filesystem::remove(prefix + std::to_string(i) + ".bmp");
    const BatchRun outside = Batch({"--probe", "9,0", In(), Prefix()});
    EXPECT_EQ(outside.status, 1);
    EXPECT_EQ(outside.err, "prismview-batch: probe point 9,0 lies outside the picture (9 x 6)\n");
    EXPECT_FALSE(OutputExists(1));
    EXPECT_EQ(Batch({"--probe", "1;2", In(), Prefix()}).status, 2);
    EXPECT_EQ(Batch({"--probe-format", "xml", In(), Prefix()}).status, 2);
}

// Many inputs with --output-dir: a bad one among good ones is told on its own
// line and skipped, the others written, exit 1 with a summary; names follow
// the pattern; nothing is overwritten without --force.
TEST_F(BatchTest, ManyInputsGoOnPastABadOne) {
    const std::string second = dir.Path("second.bmp");
    std::filesystem::copy_file(input, second);
    test::WriteFileBytes(dir.Path("bad.png"), {'n', 'o', 'p', 'e'});
    const QString out = QString::fromStdString(dir.Path("out"));
    const BatchRun run = Batch({"--mode", "hue-rotate", In(), QString::fromStdString(dir.Path("bad.png")),
                                QString::fromStdString(second), "--output-dir", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "prismview-batch: cannot read " + dir.Path("bad.png") +
                           ": not a picture format that can be read\nprismview-batch: 1 of 3 inputs failed\n");
    ProcessingParams params;
    params.effectMode = ModeHueRotate;
    for (const std::string name : {"in", "second"})
        for (int slot = 1; slot <= 4; ++slot) {
            const ReadResult written = ReadPictureFile(dir.Path("out/" + name + "_" + std::to_string(slot) + ".bmp"));
            ASSERT_TRUE(written.bitmap) << name << " " << slot;
            EXPECT_EQ(ReadPixels(*written.bitmap), test::RunSlot(base, params, slot));
        }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out/bad_1.bmp")));

    const BatchRun again = Batch({In(), "--output-dir", out});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("output exists: " + dir.Path("out/in_1.bmp")), std::string::npos);
    const BatchRun pattern = Batch({In(), "--output-dir", out, "--output-pattern", "{slot}/{name}.{ext}", "--format", "png",
                                    "--slots", "2"});
    EXPECT_EQ(pattern.status, 0) << pattern.err;
    EXPECT_TRUE(std::filesystem::exists(dir.Path("out/2/in.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out/1/in.png")));
    EXPECT_EQ(Batch({In(), "--output-dir", out, "--output-pattern", "{name}.{ext}"}).status, 2);  // no {slot}
    EXPECT_EQ(Batch({In(), In(), "--output-dir", out, "--force"}).status, 2);  // the same names twice
    EXPECT_EQ(run.out, "");  // no captions for many inputs
}

TEST_F(BatchTest, ADamagedInputIsRefusedUnlessAllowed) {
    QImage picture(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) picture.setPixel(x, y, qRgb(x, y * 2, 90));
    const std::string cut = dir.Path("cut.jpg");
    ASSERT_TRUE(picture.save(QString::fromStdString(cut)));
    std::vector<unsigned char> bytes = test::ReadFileBytes(cut);
    bytes.resize(bytes.size() / 2);
    test::WriteFileBytes(cut, bytes);
    const std::string reason = "Corrupt JPEG data: premature end of data segment";
    const std::string warning = "prismview-batch: warning: " + cut + " is damaged, processed as read: " + reason + "\n";

    BatchRun run = Batch({QString::fromStdString(cut), Prefix()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "prismview-batch: cannot read " + cut + ": damaged: " + reason + "\n");
    EXPECT_FALSE(OutputExists(1));
    run = Batch({"--allow-damaged", QString::fromStdString(cut), Prefix()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, warning);
    EXPECT_TRUE(OutputExists(4));

    // Among many it counts as failed, unless allowed.
    const QString out = QString::fromStdString(dir.Path("out"));
    run = Batch({In(), QString::fromStdString(cut), "--output-dir", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "prismview-batch: cannot read " + cut + ": damaged: " + reason +
                           "\nprismview-batch: 1 of 2 inputs failed\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out/cut_1.bmp")));
    run = Batch({"--allow-damaged", "--force", In(), QString::fromStdString(cut), "--output-dir", out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, warning);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("out/cut_4.bmp")));
}

TEST(Batch, HelpListsEveryMode) {
    const BatchRun run = Batch({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* text : {"Usage: prismview-batch", " 0  invert", "反転", "hue-rotate", "色相回転",
                             "25  slide", "スライド", "--start-from-end"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
    EXPECT_EQ(run.out.find("19 "), std::string::npos);
}

TEST_F(BatchTest, ReadsAnyPictureAndWritesTheChosenFormatAndSlots) {
    ProcessingParams params;
    params.effectMode = ModeHueRotate;
    const auto expected = test::RunPass(base, params);
    const std::string png = dir.Path("in.png");
    BitmapHandle bitmap = Bitmap::Create(base.width, base.height);
    ASSERT_TRUE(WritePixels(*bitmap, base));
    ASSERT_EQ(WritePictureFile(png, *bitmap), WriteResult::Written);

    // From a PNG file, only slots 1 and 3, as TIFF: the captions of all four.
    BatchRun run = Batch({"--mode", "hue-rotate", "--format", "tif", "--slots", "3,1", QString::fromStdString(png),
                          Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out), 4);
    for (int i = 1; i <= 4; ++i) {
        const std::string name = prefix + std::to_string(i) + ".tif";
        ReadResult written = ReadPictureFile(name);
        EXPECT_EQ(written.bitmap != nullptr, i == 1 || i == 3) << name;
        if (written.bitmap) {
            EXPECT_EQ(ReadPixels(*written.bitmap).pixels, expected[i - 1].pixels) << i;
        }
    }
    EXPECT_FALSE(OutputExists(1));  // no BMP files beside them

    // From standard input.
    const std::vector<unsigned char> bytes = test::ReadFileBytes(png);
    run = Batch({"--mode", "7", "--format=png", "--force", "-", Prefix()},
                QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    ASSERT_EQ(run.status, 0) << run.err;
    ReadResult fourth = ReadPictureFile(prefix + "4.png");
    ASSERT_TRUE(fourth.bitmap);
    EXPECT_EQ(ReadPixels(*fourth.bitmap).pixels, expected[3].pixels);

    // --quality reaches the lossy formats; lossless WebP gives the pixels.
    run = Batch({"--mode", "7", "--format", "webp", "--quality", "lossless", "--slots", "4", QString::fromStdString(png), Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadPixels(*ReadPictureFile(prefix + "4.webp").bitmap).pixels, expected[3].pixels);
    run = Batch({"--format", "jpg", "--quality", "5", "--slots", "1", In(), Prefix()});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto low = std::filesystem::file_size(prefix + "1.jpg");
    run = Batch({"--format", "jpg", "--quality", "100", "--slots", "1", "--force", In(), Prefix()});
    EXPECT_GT(std::filesystem::file_size(prefix + "1.jpg"), low);

    for (const QStringList& bad : {QStringList{"--format", "gif", In(), Prefix()},
                                   QStringList{"--slots", "0,2", In(), Prefix()},
                                   QStringList{"--slots", "1,", In(), Prefix()},
                                   QStringList{"--quality", "80", In(), Prefix()},  // BMP has no quality
                                   QStringList{"--format", "jpg", "--quality", "lossless", In(), Prefix()},
                                   QStringList{"--format", "jpg", "--quality", "0", In(), Prefix()}}) {
        run = Batch(bad);
        EXPECT_EQ(run.status, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(Lines(run.err), 1) << run.err;
    }
    run = Batch({"-h"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--format"), std::string::npos);
}

TEST_F(BatchTest, EachReadFailureNamesTheFileAndItsReason) {
    test::WriteFileBytes(dir.Path("notes.txt"), {'h', 'e', 'l', 'l', 'o'});
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.Path("cut.png"))));
    std::vector<unsigned char> cut = test::ReadFileBytes(dir.Path("cut.png"));
    cut.resize(cut.size() / 2);
    test::WriteFileBytes(dir.Path("cut.png"), cut);
    struct Case {
        std::string file;
        std::string reason;
    };
    const Case cases[] = {
        {dir.Path("missing.png"), "No such file or directory"},
        {dir.Path("notes.txt"), "not a picture format that can be read"},
        {dir.Path("cut.png"), "damaged: "},
    };
    for (const Case& c : cases) {
        const BatchRun run = Batch({QString::fromStdString(c.file), Prefix()});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("prismview-batch: cannot read " + c.file + ": " + c.reason, 0), 0u) << run.err;
        EXPECT_EQ(Lines(run.err), 1) << run.err;  // nothing from the decoders
        EXPECT_FALSE(OutputExists(1));
    }
}

}  // namespace
}  // namespace prismview

namespace prismview {
namespace {

// --sweep: a frame's pixels are the window's (tested beside the sweep
// itself); here the tool's own part: what it accepts, where it writes, and
// that it keeps what is there.
TEST_F(BatchTest, SweepsWriteOneOutputAndKeepWhatIsThere) {
    const QString sheet = QString::fromStdString(dir.Path("sheet.png"));
    for (const QStringList& bad : {QStringList{"--sweep", "hue=0:1529:5", In(), sheet},  // neither --slot nor --gallery
                                   {"--sweep", "hue=0:1530:5", "--gallery", In(), sheet},
                                   {"--sweep", "hue=0:1:0", "--gallery", In(), sheet},
                                   {"--sweep", "tint=0:1:2", "--gallery", In(), sheet},
                                   {"--sweep", "level=0:9:2", "--slot", "5", In(), sheet},
                                   {"--sweep", "level=0:9:2", "--gallery", "--format", "png", "--quality", "80", In(), sheet},
                                   {"--sweep", "level=0:9:2", "--gallery", "--slots", "1", In(), sheet},
                                   {"--gallery", In(), Prefix()}}) {
        const BatchRun run = Batch(bad);
        EXPECT_EQ(run.status, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(Lines(run.err), 1) << run.err;
    }
    const BatchRun run = Batch({"--mode", "ripple", "--sweep", "center-x=-4:4:3", "--slot", "1", "--format", "sheet", In(), sheet});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto before = test::ReadFileBytes(dir.Path("sheet.png"));
    const BatchRun again = Batch({"--sweep", "level=0:9:2", "--gallery", "--format", "sheet", In(), sheet});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("output exists"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(dir.Path("sheet.png")), before);
    EXPECT_EQ(Batch({"--sweep", "level=0:9:2", "--gallery", "--format", "sheet", "--force", In(), sheet}).status, 0);
    EXPECT_NE(test::ReadFileBytes(dir.Path("sheet.png")), before);

    const QString frames = QString::fromStdString(dir.Path("frames"));
    ASSERT_EQ(Batch({"--sweep", "phase=0:32:12", "--slot", "0", "--format", "png", In(), frames}).status, 0);
    EXPECT_EQ(test::FolderEntries(dir.Path("frames")).size(), 12u);
    EXPECT_EQ(Batch({"--sweep", "phase=0:32:2", "--slot", "0", "--format", "png", In(), frames}).status, 1);
    // A picture that cannot be read: nothing is made.
    EXPECT_EQ(Batch({"--sweep", "hue=0:9:2", "--gallery", QString::fromStdString(dir.Path("none.bmp")),
                     QString::fromStdString(dir.Path("x.webp"))}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("x.webp")));
}

TEST_F(BatchTest, TheOverviewIsOnePictureOfEveryModesFourImages) {
    const std::string wide = dir.Path("wide.bmp");
    {
        BitmapHandle bitmap = Bitmap::Create(300, 200);
        ASSERT_TRUE(WritePixels(*bitmap, test::Varied(300, 200)));
        ASSERT_EQ(WriteBmpFile(wide, *bitmap), WriteResult::Written);
    }
    const QString in = QString::fromStdString(wide);
    auto sheet = [&](int size) {
        const QString out = QString::fromStdString(dir.Path("sheet" + std::to_string(size) + ".png"));
        const BatchRun run = Batch({"--overview", out, "--size", QString::number(size), "--hue", "700", in});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(test::ReadFileBytes(out.toStdString()).at(1), 'P');  // a PNG file, whatever its name says
        return QImage(out);
    };
    const QImage small = sheet(64), large = sheet(128);
    ASSERT_FALSE(small.isNull());
    ASSERT_FALSE(large.isNull());
    // Five modes across, four images each: twenty images of the long side's width.
    EXPECT_EQ(large.width() - small.width(), 20 * 64);
    EXPECT_GE(small.height(), 5 * (64 * 200 / 300));
    EXPECT_LT(small.height(), large.height());
    // A picture smaller than the size keeps its own (the 9 x 6 one).
    const QString tiny = QString::fromStdString(dir.Path("tiny.png"));
    ASSERT_EQ(Batch({"--overview", tiny, "--size", "64", In()}).status, 0);
    EXPECT_LT(QImage(tiny).width(), small.width());

    for (const QStringList& bad : {QStringList{"--overview", tiny, "--slots", "1", In()},
                                   {"--overview", tiny, "--sweep", "hue=0:9:2", "--gallery", In()},
                                   {"--overview", tiny, "--size", "8", In()},
                                   {"--overview", tiny, "--size", "513", In()},
                                   {"--overview", tiny, In(), in},
                                   {"--overview", "", In()}}) {
        const BatchRun run = Batch(bad);
        EXPECT_EQ(run.status, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(Lines(run.err), 1) << run.err;
    }
    // An existing sheet stays without --force; an unreadable input writes nothing.
    const auto before = test::ReadFileBytes(tiny.toStdString());
    EXPECT_EQ(Batch({"--overview", tiny, "--size", "64", in}).status, 1);
    EXPECT_EQ(test::ReadFileBytes(tiny.toStdString()), before);
    EXPECT_EQ(Batch({"--overview", QString::fromStdString(dir.Path("none.png")), QString::fromStdString(dir.Path("none.bmp"))}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("none.png")));
}

// --histogram json: only JSON on standard output, the base's counts those of
// the input, one entry for each written slot; csv: one line a bin.
TEST_F(BatchTest, TheHistogramIsTheExactCountsOfTheBaseAndEachWrittenOutput) {
    const BatchRun json = Batch({"--mode", "hue-rotate", "--hue", "300", "--slots", "1,4", "--histogram", "json", In(), Prefix()});
    ASSERT_EQ(json.status, 0) << json.err;
    QJsonParseError error{};
    const QJsonArray images = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out.substr(0, 200);
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images.at(2).toObject().value("image").toInt(), 4);
    EXPECT_EQ(images.at(1).toObject().value("caption").toString().toStdString(), LabelsOf(FindMode(ModeHueRotate))[1]);
    EXPECT_NE(json.err.find(LabelsOf(FindMode(ModeHueRotate))[1]), std::string::npos);  // captions on stderr
    const ColourCounts expected = CountColours(*test::BitmapOf(base));
    const QJsonObject first = images.at(0).toObject();
    EXPECT_EQ(first.value("pixels").toInteger(), 54);
    EXPECT_EQ(first.value("greys").toInteger(), static_cast<qint64>(expected.greys));
    const QJsonArray hue = first.value("hue").toArray();
    ASSERT_EQ(hue.size(), 1530);
    for (int bin = 0; bin < 1530; ++bin) ASSERT_EQ(hue.at(bin).toInteger(), static_cast<qint64>(expected.hue[bin])) << bin;
    EXPECT_EQ(first.value("l").toArray().size(), 511);
    EXPECT_EQ(first.value("t").toArray().size(), 766);

    const BatchRun csv = Batch({"--slots", "2", "--histogram", "csv", "--force", In(), Prefix()});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("image,caption,term,bin,count\n0,\"ベース画像\",r,0,", 0), 0u) << csv.out.substr(0, 80);
    EXPECT_EQ(Lines(csv.out), 1 + 2 * (4 * 256 + 511 + 766 + 1530 + 2));
    EXPECT_NE(csv.out.find("\n2,\"明度反転\",pixels,,54\n"), std::string::npos);

    for (const QStringList& bad : {QStringList{"--histogram", "xml", In(), Prefix()},
                                   {"--histogram", "csv", "--probe", "0,0", In(), Prefix()},
                                   {"--histogram", "csv", "--output-dir", dir.Path("many").c_str(), In()}}) {
        const BatchRun run = Batch(bad);
        EXPECT_EQ(run.status, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(Lines(run.err), 1) << run.err;
    }
}

// --chart WxH OUTPUT: the chart's pixels at that size, by the name's type.
TEST_F(BatchTest, TheChartIsWrittenAtAnySize) {
    const std::string out = dir.Path("chart.png");
    const BatchRun run = Batch({"--chart", "97x33", QString::fromStdString(out)});
    ASSERT_EQ(run.status, 0) << run.err;
    const ReadResult read = ReadPictureFile(out);
    ASSERT_TRUE(read.bitmap) << read.reason;
    EXPECT_EQ(ReadPixels(*read.bitmap).pixels, ReadPixels(*MakeColourChart(97, 33)).pixels);
    EXPECT_EQ(Batch({"--chart", "97x33", QString::fromStdString(out)}).status, 1);  // exists
    EXPECT_EQ(Batch({"--chart", "1x1", "--force", QString::fromStdString(out)}).status, 0);
    for (const QStringList& bad : {QStringList{"--chart", "0x5", QString::fromStdString(out)},
                                   {"--chart", "16385x1", QString::fromStdString(out)},
                                   {"--chart", "20", QString::fromStdString(out)},
                                   {"--chart", "20x20", "--hue", "5", QString::fromStdString(out)},
                                   {"--chart", "20x20", In(), QString::fromStdString(out)}}) {
        const BatchRun bad_run = Batch(bad);
        EXPECT_EQ(bad_run.status, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(Lines(bad_run.err), 1) << bad_run.err;
    }
}

}  // namespace
}  // namespace prismview
