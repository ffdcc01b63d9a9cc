// Nothing of the user's configuration is read or written: the probe runs with
// a scratch HOME whose configuration already holds Qt's custom colours.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QProcessEnvironment>

#include <map>

#include "support/test_support.h"

namespace prismview {
namespace {

std::map<std::string, std::vector<unsigned char>> FilesUnder(const std::string& folder) {
    std::map<std::string, std::vector<unsigned char>> files;
    QDirIterator it(QString::fromStdString(folder), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const std::string path = it.next().toStdString();
        files[path] = test::ReadFileBytes(path);
    }
    return files;
}

TEST(PrivateSettings, TheUsersConfigurationIsNeitherReadNorWritten) {
    test::TempDir scratch;
    const std::string home = scratch.Path("home");
    const std::string config = home + "/.config";
    const std::string temp = scratch.Path("tmp");
    for (const std::string& folder : {config, temp, scratch.Path("cache"), scratch.Path("runtime")})
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    QFile::setPermissions(QString::fromStdString(scratch.Path("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // What an earlier Qt program left: a red first custom colour.
    const std::string seeded = "[Qt]\ncustomColors\\0=4294901760\n";
    test::WriteFileBytes(config + "/QtProject.conf", std::vector<unsigned char>(seeded.begin(), seeded.end()));
    const auto before = FilesUnder(home);

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString(home));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(config));
    environment.insert("XDG_CACHE_HOME", QString::fromStdString(scratch.Path("cache")));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(scratch.Path("runtime")));
    environment.insert("TMPDIR", QString::fromStdString(temp));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    probe.setProcessEnvironment(environment);
    probe.start(PRISMVIEW_SETTINGS_PROBE, {});
    ASSERT_TRUE(probe.waitForFinished(60000));
    ASSERT_EQ(probe.exitStatus(), QProcess::NormalExit) << probe.readAllStandardError().toStdString();
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QString report = QString::fromUtf8(probe.readAllStandardOutput());

    // Qt's own default, not the seeded red.
    EXPECT_TRUE(report.contains("custom0 ffffffff")) << report.toStdString();
    // Qt did write its settings, into the private folder under TMPDIR.
    EXPECT_TRUE(report.contains("settings " + QString::fromStdString(temp) + "/prismview-settings-"))
        << report.toStdString();
    EXPECT_TRUE(report.contains("written 1")) << report.toStdString();
    EXPECT_EQ(FilesUnder(home), before);
    EXPECT_TRUE(FilesUnder(temp).empty());  // the private folder went with the program
    EXPECT_TRUE(QDir(QString::fromStdString(temp)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).filter("prismview").isEmpty());
}

}  // namespace
}  // namespace prismview
