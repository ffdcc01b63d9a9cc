// What the process sets up around Qt before the first window: its own
// settings folder and the dialog font's substitute.
#pragma once

#include <QString>
#include <QTemporaryDir>

class QCoreApplication;

namespace prismview {

// The program keeps nothing between runs, but Qt's colour dialog and file
// dialog read and write their own settings (custom colours, last folder) in
// the user's configuration. While this object lives, every QSettings of the
// process goes to a private folder instead, which is removed with it.
// Create it before the QApplication and let it outlive it.
class PrivateSettings {
public:
    PrivateSettings();
    ~PrivateSettings();
    PrivateSettings(const PrivateSettings&) = delete;
    PrivateSettings& operator=(const PrivateSettings&) = delete;

    QString Path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

// The parameter dialogs ask for ＭＳ Ｐゴシック; IPA P Gothic stands in where it
// is missing.
void SubstituteDialogFonts();

// Qt's own texts (the buttons of message boxes, the file and colour dialogs)
// in Japanese like the rest of the program, whatever the system's language.
void InstallJapaneseQtTexts(QCoreApplication& application);

}  // namespace prismview
