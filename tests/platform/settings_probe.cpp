// Started by the settings test with HOME and the XDG folders pointed at a
// scratch folder: sets up the process as the program does, uses the colour
// and file dialogs (which make Qt write its settings), and reports what it
// saw on standard output:
//   custom0 <rgb of custom colour 0 before any dialog>
//   settings <the file Qt's own settings went to>
//   written <1 when that file existed once the dialogs were closed>
#include <QApplication>
#include <QColorDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

#include <cstdio>

#include "app/app_state.h"
#include "platform/environment.h"
#include "platform/main_window.h"

namespace {

// Closes the next modal dialog as soon as it shows, with OK or Cancel.
void CloseNextDialog(bool accept) {
    QTimer::singleShot(50, [accept] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            CloseNextDialog(accept);
            return;
        }
        if (auto* colours = qobject_cast<QColorDialog*>(modal)) {
            QColorDialog::setCustomColor(3, QColor(1, 2, 3));  // the user adds a custom colour
            colours->accept();
        } else {
            modal->close();
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    {
        const prismview::PrivateSettings settings;
        QApplication application(argc, argv);
        std::printf("custom0 %08x\n", QColorDialog::customColor(0).rgba());
        prismview::AppState state;
        prismview::MainWindow window(state);
        window.show();
        CloseNextDialog(true);
        std::uint32_t colour = 0x123456;
        window.ChooseColour(colour, state.dialogs.customColors);
        CloseNextDialog(false);
        prismview::SaveQuestion question;
        window.AskSaveFileName(question);
        const QString file = QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
        std::printf("settings %s\nwritten %d\n", file.toUtf8().constData(), QFileInfo::exists(file) ? 1 : 0);
        window.close();
    }
    std::fflush(stdout);
    return status;
}
