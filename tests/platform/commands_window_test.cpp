// The file, clipboard and dialog commands on the real Qt window: dialogs
// built from their templates, the clipboard, the accelerators, the message
// boxes and the choosers, each answered by a timer as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <functional>

#include "app/commands.h"
#include "app/input.h"
#include "platform/client_area.h"
#include "platform/main_window.h"
#include "platform/template_dialog.h"
#include "resources/dialog_templates.h"
#include "app/menu.h"
#include "support/test_support.h"

namespace prismview {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Calls `answer` with the modal dialog once it shows; the test fails when
// none shows within five seconds.
void WhenModalShows(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, tries = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        const bool shows = modal && modal->isVisible();
        if (!shows && ++tries <= 500) return;
        timer->stop();
        if (shows) {
            QTest::qWait(20);  // let it settle: focus, default button
            const std::function<void(QWidget*)> run = answer;
            run(modal);
        } else {
            ADD_FAILURE() << "no modal dialog showed";
        }
        timer->deleteLater();
    });
    timer->start();
}

// Lets the pass beside the window finish and its images arrive.
void WaitForPass(MainWindow& window) {
    window.WaitUntil([&window] { return !window.Runner().Busy(); });
}

// A main window with a picture, shown and active.
struct Shown {
    Shown() : window(state) {
        state.shown.images = test::MakeImageSet(test::Varied(6, 4));
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // Not closed: closing ends the program, and with it every modal loop of
    // the tests that follow in the same process.
    ~Shown() = default;
    AppState state;
    MainWindow window;
};

QImage ImageOf(const PixelBuffer& buffer) {
    QImage image(buffer.width, buffer.height, QImage::Format_RGB32);
    for (std::int32_t y = 0; y < buffer.height; ++y)
        for (std::int32_t x = 0; x < buffer.width; ++x)
            image.setPixel(x, buffer.height - 1 - y, 0xFF000000u | buffer.At(x, y));
    return image;
}

int Rounded(int units, int base, int divisor) { return static_cast<int>(std::lround(units * base / double(divisor))); }

class NoLogic : public DialogLogic {
public:
    explicit NoLogic(int id) : id_(id) {}
    int TemplateId() const override { return id_; }
    void Init(DialogControls&) override {}
    int Command(int id, DialogControls&) override { return id == 1 || id == 2 ? id : 0; }

private:
    int id_;
};

TEST(TemplateDialog, EveryControlStandsWhereItsDialogUnitsSay) {
    for (const DialogTemplate* t : {&AboutDialogTemplate(), &HueLevelDialogTemplate(), &WaveDialogTemplate(), &SweepDialogTemplate()}) {
        NoLogic logic(t->id);
        const QPoint origin(100, 50);
        TemplateDialog dialog(*t, logic, nullptr, origin);
        const QFontMetrics metrics(dialog.font());
        const DialogUnits& units = dialog.Units();
        EXPECT_EQ(units.charHeight, metrics.height());
        const double average = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
        EXPECT_LE(std::abs(units.charWidth - average), 1.0) << t->title;
        EXPECT_EQ(dialog.windowTitle(), Q(t->title));
        EXPECT_EQ(dialog.size(), QSize(Rounded(t->width, units.charWidth, 4), Rounded(t->height, units.charHeight, 8)));
        EXPECT_EQ(dialog.pos(), origin + QPoint(Rounded(t->x, units.charWidth, 4), Rounded(t->y, units.charHeight, 8)));

        ASSERT_EQ(dialog.Controls().size(), t->controls.size());
        for (std::size_t i = 0; i < t->controls.size(); ++i) {
            const DialogControl& c = t->controls[i];
            QWidget* w = dialog.Controls()[i].second;
            const std::string where = std::string(t->title) + " control " + std::to_string(i);
            EXPECT_EQ(w->property("controlId").toInt(), c.id) << where;
            const QRect expected(Rounded(c.x, units.charWidth, 4), Rounded(c.y, units.charHeight, 8),
                                 Rounded(c.width, units.charWidth, 4), Rounded(c.height, units.charHeight, 8));
            if (c.kind == ControlKind::Icon) {
                EXPECT_EQ(w->geometry(), QRect(expected.topLeft(), QSize(32, 32))) << where;
                ASSERT_NE(qobject_cast<QLabel*>(w), nullptr);
                EXPECT_FALSE(qobject_cast<QLabel*>(w)->pixmap().isNull());
                continue;
            }
            if (c.kind == ControlKind::Static && !c.multiLine) {
                // One-line texts may run wider than their rectangle, never narrower.
                EXPECT_EQ(w->pos(), expected.topLeft()) << where;
                EXPECT_EQ(w->height(), expected.height()) << where;
                EXPECT_GE(w->width(), expected.width()) << where;
            } else {
                EXPECT_EQ(w->geometry(), expected) << where;
            }
            QString text;
            switch (c.kind) {
                case ControlKind::Static:
                    ASSERT_NE(qobject_cast<QLabel*>(w), nullptr) << where;
                    text = qobject_cast<QLabel*>(w)->text();
                    break;
                case ControlKind::GroupBox:
                    ASSERT_NE(qobject_cast<QGroupBox*>(w), nullptr) << where;
                    text = qobject_cast<QGroupBox*>(w)->title();
                    break;
                case ControlKind::PushButton:
                case ControlKind::DefaultPushButton:
                    ASSERT_NE(qobject_cast<QPushButton*>(w), nullptr) << where;
                    EXPECT_EQ(qobject_cast<QPushButton*>(w)->isDefault(), c.kind == ControlKind::DefaultPushButton);
                    text = qobject_cast<QPushButton*>(w)->text();
                    break;
                case ControlKind::TextField:
                    ASSERT_NE(qobject_cast<QLineEdit*>(w), nullptr) << where;
                    break;
                case ControlKind::RadioButton:
                    ASSERT_NE(qobject_cast<QRadioButton*>(w), nullptr) << where;
                    EXPECT_FALSE(w->focusPolicy() & Qt::TabFocus) << where;
                    text = qobject_cast<QRadioButton*>(w)->text();
                    break;
                case ControlKind::CheckBox:
                    ASSERT_NE(qobject_cast<QCheckBox*>(w), nullptr) << where;
                    text = qobject_cast<QCheckBox*>(w)->text();
                    break;
                case ControlKind::Icon:
                    break;
            }
            EXPECT_EQ(text, Q(c.text)) << where;
        }
        // OK is the first control that Tab reaches.
        QWidget* first = nullptr;
        for (const auto& [control, widget] : dialog.Controls())
            if (widget->focusPolicy() & Qt::TabFocus) {
                first = widget;
                break;
            }
        EXPECT_EQ(first, dialog.Control(ids::Ok)) << t->title;
    }
}

TEST(TemplateDialog, OneLineTextsAreWholeAndWidenedLabelsCoverNothing) {
    for (const DialogTemplate* t : {&AboutDialogTemplate(), &HueLevelDialogTemplate(), &WaveDialogTemplate(), &SweepDialogTemplate()}) {
        NoLogic logic(t->id);
        TemplateDialog dialog(*t, logic, nullptr, QPoint());
        const QFontMetrics metrics(dialog.font());
        const DialogUnits& units = dialog.Units();
        const auto& controls = dialog.Controls();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const DialogControl& c = *controls[i].first;
            const QWidget* label = controls[i].second;
            if (c.kind != ControlKind::Static || c.multiLine) continue;
            const std::string where = std::string(t->title) + ": " + std::string(c.text);
            EXPECT_GE(label->width(), metrics.horizontalAdvance(Q(c.text))) << where;
            EXPECT_LE(label->geometry().right(), dialog.width() - 1) << where;
            if (label->width() == Rounded(c.width, units.charWidth, 4)) continue;
            for (std::size_t j = 0; j < controls.size(); ++j) {
                const DialogControl& other = *controls[j].first;
                if (j == i || other.kind == ControlKind::GroupBox) continue;
                const QRect theirs = units.ToPixels(other.x, other.y, other.width, other.height);
                const QRect grown(label->x() + Rounded(c.width, units.charWidth, 4), label->y(),
                                  label->width() - Rounded(c.width, units.charWidth, 4), label->height());
                EXPECT_FALSE(grown.intersects(theirs)) << where << " covers " << std::string(other.text);
            }
        }
    }
}

TEST(TemplateDialog, TheParameterDialogsUseIpaPGothicForTheirFont) {
    const QFont font = DialogFont(HueLevelDialogTemplate());
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
}

TEST(TemplateDialog, TheRadioButtonsAreOneGroup) {
    NoLogic logic(kWaveDialogId);
    TemplateDialog dialog(WaveDialogTemplate(), logic, nullptr, QPoint());
    dialog.SetChecked(ids::OverflowWrapRadio, true);
    auto* edge = qobject_cast<QRadioButton*>(dialog.Control(ids::OverflowEdgeRadio));
    ASSERT_NE(edge, nullptr);
    edge->click();
    EXPECT_TRUE(dialog.Checked(ids::OverflowEdgeRadio));
    EXPECT_FALSE(dialog.Checked(ids::OverflowWrapRadio));
    EXPECT_FALSE(dialog.Checked(ids::OverflowBackgroundRadio));
}

TEST(TemplateDialog, HueLevelThroughTheRealDialog) {
    Shown shown;
    shown.state.params.effectMode = ModeRgbComponents;
    // Typed entries and OK: stored with their corrections, then processed.
    WhenModalShows([](QWidget* modal) {
        auto* dialog = qobject_cast<TemplateDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Text(ids::Hue), "0");
        EXPECT_EQ(QApplication::focusWidget(), dialog->Control(ids::Ok));
        auto* hueStep = qobject_cast<QLineEdit*>(dialog->Control(ids::HueStep));
        hueStep->selectAll();
        QTest::keyClicks(hueStep, "300");
        QTest::mouseClick(qobject_cast<QPushButton*>(dialog->Control(1023)), Qt::LeftButton);  // Ｃ
        QTest::keyClick(dialog->Control(ids::Ok), Qt::Key_Space);
    });
    const PixelBuffer slot4 = ReadPixels(*shown.state.shown.images.bitmaps[4]);
    shown.window.Action(Command::HueLevelDialog)->trigger();
    WaitForPass(shown.window);
    EXPECT_EQ(shown.state.params.hue, 765);
    EXPECT_EQ(shown.state.steps.hueStep, 255u);
    EXPECT_NE(ReadPixels(*shown.state.shown.images.bitmaps[4]).pixels, slot4.pixels);  // processed again

    // Esc, the close box and ｷｬﾝｾﾙ change nothing.
    const std::function<void(QWidget*)> cancels[] = {
        [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); },
        [](QWidget* modal) { modal->close(); },
        [](QWidget* modal) { qobject_cast<TemplateDialog*>(modal)->Control(ids::Cancel)->setFocus();
                             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); },
    };
    for (const auto& cancel : cancels) {
        WhenModalShows([&cancel](QWidget* modal) {
            auto* dialog = qobject_cast<TemplateDialog*>(modal);
            dialog->SetText(ids::Hue, "1");
            cancel(modal);
        });
        shown.window.Action(Command::HueLevelDialog)->trigger();
        EXPECT_EQ(shown.state.params.hue, 765);
        EXPECT_FALSE(QApplication::activeModalWidget());
    }
}

TEST(TemplateDialog, StandsRelativeToTheClientArea) {
    Shown shown;
    const QPoint client = shown.window.Client()->mapToGlobal(QPoint(0, 0));
    QPoint at;
    WhenModalShows([&at](QWidget* modal) {
        at = modal->pos();
        modal->close();
    });
    shown.window.Action(Command::About)->trigger();
    const DialogUnits units = DialogUnitsFor(DialogFont(AboutDialogTemplate()));
    EXPECT_EQ(at, client + units.ToPixels(22, 17));
}

TEST(MainWindowClipboard, CopyAndPasteGoThroughTheClipboard) {
    Shown shown;
    shown.state.view.selectedImage = 2;
    shown.window.Action(Command::Copy)->trigger();
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(copied, ImageOf(ReadPixels(*shown.state.shown.images.bitmaps[2])));

    // A picture another program put there, with an alpha channel.
    QImage foreign(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) foreign.setPixel(x, y, qRgba(x * 30, y * 50, 200, 255));
    QGuiApplication::clipboard()->setImage(foreign);
    shown.window.Action(Command::Paste)->trigger();
    ASSERT_TRUE(shown.state.shown.images.Loaded());
    EXPECT_EQ(shown.state.shown.images.width, 7);
    EXPECT_EQ(PixelAt(*shown.state.shown.images.bitmaps[0], 3, 4), 0x5AC8C8u);
    EXPECT_EQ(PixelAt(*shown.state.shown.images.bitmaps[0], 6, 0), 0xB400C8u);

    // Our own copy comes back pixel for pixel.
    const PixelBuffer pasted = ReadPixels(*shown.state.shown.images.bitmaps[0]);
    shown.state.view.selectedImage = 0;
    shown.window.Action(Command::Copy)->trigger();
    QGuiApplication::clipboard()->setText(QStringLiteral("no picture"));
    shown.window.Action(Command::Paste)->trigger();  // text only: the images stay
    ASSERT_TRUE(shown.state.shown.images.Loaded());
    EXPECT_EQ(ReadPixels(*shown.state.shown.images.bitmaps[0]).pixels, pasted.pixels);
}

TEST(MainWindowClipboard, EncodedDataIsPastedThroughTheReadPath) {
    // Offered encoded, a picture goes through the read path, which checks the
    // header's size before decoding and turns the picture upright; the
    // clipboard's own decoded picture would do neither.
    Shown shown;
    QImage wide(32, 16, QImage::Format_RGB32);
    wide.fill(qRgb(40, 160, 90));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(wide));
    auto* offered = new QMimeData;  // the clipboard takes it
    offered->setData(QStringLiteral("image/jpeg"), jpeg);
    QGuiApplication::clipboard()->setMimeData(offered);
    shown.window.Action(Command::Paste)->trigger();
    ASSERT_TRUE(shown.state.shown.images.Loaded());
    EXPECT_EQ(shown.state.shown.images.width, 16);
    EXPECT_EQ(shown.state.shown.images.height, 32);
}

// Counts the presses of one key that reach a widget (and so its key handler).
class KeyCounter : public QObject {
public:
    KeyCounter(QWidget* widget, int key) : key_(key) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == key_) ++presses;
        return false;
    }
    int presses = 0;

private:
    int key_;
};

TEST(MainWindowAccelerators, CtrlCAndCtrlVAreCommandsNotKeys) {
    Shown shown;
    shown.state.view.selectedImage = 3;
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QCoreApplication::processEvents();
    KeyCounter cKeys(shown.window.Client(), Qt::Key_C);
    KeyCounter vKeys(shown.window.Client(), Qt::Key_V);
    QTest::keyClick(shown.window.Client(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              ImageOf(ReadPixels(*shown.state.shown.images.bitmaps[3])));
    EXPECT_EQ(cKeys.presses, 0);

    QImage other(3, 2, QImage::Format_RGB32);
    other.fill(qRgb(1, 2, 3));
    QGuiApplication::clipboard()->setImage(other);
    QTest::keyClick(shown.window.Client(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown.state.shown.images.width, 3);
    EXPECT_EQ(PixelAt(*shown.state.shown.images.bitmaps[0], 0, 0), 0x010203u);
    EXPECT_EQ(vKeys.presses, 0);

    // C alone is a key like others: it reaches the key handler, nothing is copied.
    QGuiApplication::clipboard()->setText(QStringLiteral("after"));
    QTest::keyClick(shown.window.Client(), Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("after"));
    EXPECT_EQ(cKeys.presses, 1);
}

TEST(MainWindowAccelerators, AltSlashAndAltQuestionOpenTheAboutBox) {
    Shown shown;
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Slash, Qt::AltModifier},
        {Qt::Key_Question, Qt::AltModifier},
        {Qt::Key_Question, Qt::AltModifier | Qt::ShiftModifier},  // "?" typed with Shift
    };
    for (const auto& [key, modifiers] : keys) {
        QString title;
        WhenModalShows([&title](QWidget* modal) {
            title = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Return);  // OK, the default button
        });
        QTest::keyClick(shown.window.Client(), key, modifiers);
        EXPECT_EQ(title, QStringLiteral("情報")) << key;
        EXPECT_FALSE(QApplication::activeModalWidget());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shown.window));  // the next press finds it active
    }
}

TEST(MainWindowAccelerators, DoNothingWhileAModalDialogIsOpen) {
    Shown shown;
    shown.state.view.selectedImage = 1;
    QImage other(3, 2, QImage::Format_RGB32);
    other.fill(qRgb(9, 9, 9));
    QGuiApplication::clipboard()->setImage(other);
    bool aboutOpened = false;
    WhenModalShows([&](QWidget* modal) {
        for (QWidget* target : {QApplication::focusWidget(), static_cast<QWidget*>(&shown.window)}) {
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
            QTimer::singleShot(200, [&aboutOpened, modal] {
                aboutOpened = QApplication::activeModalWidget() != modal;
                if (aboutOpened) QApplication::activeModalWidget()->close();
            });
            QTest::keyClick(target, Qt::Key_Slash, Qt::AltModifier);
            QTest::qWait(300);
        }
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    shown.window.Action(Command::WaveDialog)->trigger();
    EXPECT_FALSE(aboutOpened);
    EXPECT_EQ(shown.state.shown.images.width, 6);  // nothing pasted
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), other);  // nothing copied
}

TEST(MainWindowMessages, TheOverwriteQuestionStandsAloneWithNoAsDefault) {
    Shown shown;
    QMessageBox* seen = nullptr;
    QWidget* parent = &shown.window;
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModalShows([&](QWidget* modal) {
        seen = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(seen, nullptr);
        parent = seen->parentWidget();
        text = seen->text();
        title = seen->windowTitle();
        icon = seen->icon();
        QTest::keyClick(modal, Qt::Key_Return);  // the default button
    });
    MessageBoxRequest question{"a.bmp\n同じファイルがありますが、上書きしますか？", "君に問う", MessageButtons::YesNo,
                               MessageIcon::Question, MessageAnswer::No, false, ""};
    EXPECT_EQ(shown.window.ShowMessage(question), MessageAnswer::No);
    EXPECT_EQ(parent, nullptr);
    EXPECT_EQ(text, QStringLiteral("a.bmp\n同じファイルがありますが、上書きしますか？"));
    EXPECT_EQ(title, QStringLiteral("君に問う"));
    EXPECT_EQ(icon, QMessageBox::Question);

    WhenModalShows([&](QWidget* modal) {
        parent = modal->parentWidget();
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(shown.window.ShowMessage(question), MessageAnswer::Yes);

    // A read failure's detail: what and why, under the text.
    QString detail;
    WhenModalShows([&](QWidget* modal) {
        parent = modal->parentWidget();
        detail = qobject_cast<QMessageBox*>(modal)->informativeText();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    const MessageBoxRequest failed{"ＢＭＰ読み出し失敗しました。", "鰓阿", MessageButtons::Ok, MessageIcon::None,
                                   MessageAnswer::Ok, true, "a.png\ndamaged: truncated"};
    EXPECT_EQ(shown.window.ShowMessage(failed), MessageAnswer::Ok);
    EXPECT_EQ(parent, &shown.window);
    EXPECT_EQ(detail, QStringLiteral("a.png\ndamaged: truncated"));
}

// The save dialog starts here with the proposed name and the type chosen
// last; the type the user picks adds its extension to a bare name.
TEST(MainWindowFiles, TheSaveDialogProposesANameAndTheChosenTypeAddsItsExtension) {
    test::TempDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path()));
    Shown shown;
    QString directory, proposed;
    QStringList filters;
    bool ownPrompt = true;
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        ownPrompt = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        proposed = name->text();
        dialog->selectNameFilter(filters.value(1));  // PNG, as a user picks it from the list
        Q_EMIT dialog->filterSelected(filters.value(1));
        name->setText(QStringLiteral("picture"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    SaveQuestion question{"", "photo_4.bmp", SaveFormat::Bmp};
    const std::optional<std::string> chosen = shown.window.AskSaveFileName(question);
    QDir::setCurrent(previous);
    EXPECT_EQ(directory, QDir(QString::fromStdString(dir.path())).absolutePath());
    EXPECT_EQ(filters, (QStringList{QStringLiteral("ビットマップ (*.bmp)"), QStringLiteral("PNG (*.png)"),
                                    QStringLiteral("JPEG (*.jpg *.jpeg)"), QStringLiteral("WebP (*.webp)"),
                                    QStringLiteral("TIFF (*.tif *.tiff)")}));
    EXPECT_FALSE(ownPrompt);
    EXPECT_EQ(proposed, QStringLiteral("photo_4.bmp"));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, dir.Path("picture.png"));
    EXPECT_EQ(question.type, SaveFormat::Png);  // the next dialog starts there

    // The open dialog offers every readable format first and starts in the
    // folder it is given.
    std::filesystem::create_directory(dir.Path("photos"));
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_FALSE(shown.window.AskOpenFileName(dir.Path("photos")).has_value());
    EXPECT_EQ(directory, QDir(QString::fromStdString(dir.Path("photos"))).absolutePath());
    ASSERT_EQ(filters.size(), 3);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("画像ファイル (*.bmp *.png *.jpg *.jpeg *.gif *.tif *.tiff *.webp ")))
        << filters[0].toStdString();
    EXPECT_EQ(filters[1], QStringLiteral("ビットマップ (*.bmp)"));
    EXPECT_EQ(filters[2], QStringLiteral("すべてのファイル (*)"));
}

TEST(MainWindowColours, TheChooserShowsOurColourAndOurCustomColours) {
    Shown shown;
    shown.state.params.backgroundColor = 0x204060;
    shown.state.dialogs.customColors[5] = 0x0000FF;  // blue
    QColor current;
    QRgb custom5 = 0, custom0 = 1;
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        current = dialog->currentColor();
        custom5 = QColorDialog::customColor(5).rgb();
        custom0 = QColorDialog::customColor(0).rgb();
        QColorDialog::setCustomColor(1, QColor(0x11, 0x22, 0x33));  // the user adds one
        dialog->setCurrentColor(QColor(0xAA, 0xBB, 0xCC));
        QTest::keyClick(modal, Qt::Key_Return);
    });
    shown.window.Action(Command::BackgroundColour)->trigger();
    EXPECT_EQ(current, QColor(0x20, 0x40, 0x60));
    EXPECT_EQ(custom5, qRgb(0, 0, 255));
    EXPECT_EQ(custom0, qRgb(0, 0, 0));
    EXPECT_EQ(shown.state.params.backgroundColor, 0xAABBCCu);
    EXPECT_EQ(shown.state.dialogs.customColors[1], 0x112233u);

    // Another window's run starts from its own custom colours, all black.
    AppState fresh;
    MainWindow another(fresh);
    WhenModalShows([&](QWidget* modal) {
        custom5 = QColorDialog::customColor(5).rgb();
        custom0 = QColorDialog::customColor(1).rgb();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    std::uint32_t colour = 0;
    EXPECT_FALSE(another.ChooseColour(colour, fresh.dialogs.customColors));
    EXPECT_EQ(custom5, qRgb(0, 0, 0));
    EXPECT_EQ(custom0, qRgb(0, 0, 0));
}

// Drops `data` on the client area as a drag from another program would.
bool Drop(MainWindow& window, const QMimeData& data) {
    const QPoint at = window.Client()->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    return true;
}

TEST(MainWindowDrop, AFileOpensAndPictureDataPastes) {
    Shown shown;
    test::TempDir dir;
    QImage photo(9, 7, QImage::Format_RGB32);
    photo.fill(qRgb(200, 100, 50));
    ASSERT_TRUE(photo.save(Q(dir.Path("photo.jpg")), "jpeg", 100));
    ASSERT_TRUE(photo.save(Q(dir.Path("second.png"))));

    // Several files: the first opens, as the open command opens it.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(Q(dir.Path("photo.jpg"))), QUrl::fromLocalFile(Q(dir.Path("second.png")))});
    ASSERT_TRUE(Drop(shown.window, files));
    WaitForPass(shown.window);
    ASSERT_TRUE(shown.state.shown.images.Loaded());
    EXPECT_EQ(shown.state.shown.images.width, 9);
    EXPECT_EQ(shown.window.windowTitle(), Q("プリズムビュー - photo.jpg"));
    EXPECT_EQ(shown.state.shown.Label(1), "色相反転");  // processed

    // A file that is no picture: the failure message, the images stay.
    test::WriteFileBytes(dir.Path("notes.txt"), {'h', 'i'});
    QMimeData notes;
    notes.setUrls({QUrl::fromLocalFile(Q(dir.Path("notes.txt")))});
    QString told;
    WhenModalShows([&told](QWidget* modal) {
        told = qobject_cast<QMessageBox*>(modal)->text();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    ASSERT_TRUE(Drop(shown.window, notes));
    EXPECT_EQ(told, Q("ＢＭＰ読み出し失敗しました。"));
    EXPECT_EQ(shown.state.shown.images.width, 9);

    // Picture data, as a browser offers it: a paste, no file in the title.
    QImage web(5, 3, QImage::Format_ARGB32);
    web.fill(qRgba(255, 0, 0, 128));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(web.save(&buffer, "png"));
    QMimeData data;
    data.setData(QStringLiteral("image/png"), png);
    ASSERT_TRUE(Drop(shown.window, data));
    EXPECT_EQ(shown.state.shown.images.width, 5);
    EXPECT_EQ(PixelAt(*shown.state.shown.images.bitmaps[0], 4, 2), 0xFF7F7Fu);  // half-clear red over white
    EXPECT_EQ(shown.window.windowTitle(), Q("プリズムビュー"));

    // Text is refused at the door.
    QMimeData text;
    text.setText(QStringLiteral("no picture"));
    EXPECT_FALSE(Drop(shown.window, text));
}

}  // namespace
}  // namespace prismview
