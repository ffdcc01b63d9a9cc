#include "platform/environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace prismview {

namespace {

void PointSettingsAt(const QString& path) {
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, path);
}

}  // namespace

PrivateSettings::PrivateSettings() : dir_(QDir::tempPath() + QStringLiteral("/prismview-settings-XXXXXX")) {
    // Without a folder of our own, a path under a file: nothing can be read
    // there and nothing can be created.
    path_ = dir_.isValid() ? dir_.path() : QStringLiteral("/dev/null/prismview-settings");
    PointSettingsAt(path_);
}

PrivateSettings::~PrivateSettings() { PointSettingsAt(QStringLiteral("/dev/null/prismview-settings")); }

void SubstituteDialogFonts() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
}

void InstallJapaneseQtTexts(QCoreApplication& application) {
    // Parented to the application, so it lives exactly as long.
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

}  // namespace prismview
