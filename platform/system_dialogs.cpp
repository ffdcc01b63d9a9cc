#include "platform/system_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>

#include <algorithm>
#include <span>

#include "io/picture_file.h"
#include "io/qt_picture.h"
#include "platform/qt_text.h"
#include "resources/strings.h"

namespace prismview {

namespace {

QColor ToQColor(RgbValue colour) { return QColor::fromRgb(static_cast<QRgb>(colour | 0xFF000000u)); }
RgbValue FromQColor(const QColor& colour) { return static_cast<RgbValue>(colour.rgb() & 0xFFFFFFu); }

QString Filter(std::string_view name, const QStringList& patterns) {
    return ToQString(name) + " (" + patterns.join(' ') + ')';
}

QStringList OpenFilters() {
    QStringList patterns;
    for (const std::string& pattern : ReadablePatterns()) patterns << ToQString(pattern);
    return {Filter(kPictureFilterName, patterns), Filter(kBmpFilterName, {ToQString(kBmpFilterPattern)}),
            ToQString(kAllFilesFilter)};
}

// The formats the writer knows, BMP (the default) first under its own name.
QStringList SaveFilters() {
    QStringList filters;
    for (const SavableFormat& format : SavableFormats()) {
        QStringList patterns;
        for (std::string_view extension : format.extensions)
            if (!extension.empty()) patterns << "*." + ToQString(extension);
        filters << Filter(format.format == SaveFormat::Bmp ? kBmpFilterName : format.name, patterns);
    }
    return filters;
}

}  // namespace

MessageAnswer ShowMessageBox(QWidget* owner, const MessageBoxRequest& request) {
    const ReactivateAfter reactivate(owner);
    const bool yesNo = request.buttons == MessageButtons::YesNo;
    QMessageBox box(request.icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon,
                    ToQString(request.caption), ToQString(request.text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, request.owned ? owner : nullptr);
    box.setTextFormat(Qt::PlainText);
    if (!request.detail.empty()) box.setInformativeText(ToQString(request.detail));
    if (yesNo) {
        box.setDefaultButton(request.defaultButton == MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    switch (box.exec()) {
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        default: return yesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

std::optional<std::string> AskFileName(QWidget* owner, const std::string& folder, bool save) {
    const ReactivateAfter reactivate(owner);
    QFileDialog dialog(owner, QString(), folder.empty() ? QDir::currentPath() : ToQString(folder));
    dialog.setNameFilters(save ? SaveFilters() : OpenFilters());
    // Qt's own dialog, the same on every desktop; the writer asks about
    // overwriting, not the dialog, and a name need not exist yet.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save) dialog.setDefaultSuffix(QStringLiteral("bmp"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList names = dialog.selectedFiles();
    if (names.isEmpty() || names.front().isEmpty()) return std::nullopt;
    return names.front().toStdString();
}

std::optional<std::string> AskSaveFileName(QWidget* owner, SaveQuestion& question) {
    const ReactivateAfter reactivate(owner);
    QFileDialog dialog(owner, QString(), question.folder.empty() ? QDir::currentPath() : ToQString(question.folder));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = SaveFilters();
    dialog.setNameFilters(filters);
    const std::span<const SavableFormat> formats = SavableFormats();
    auto indexOf = [&](SaveFormat type) {
        for (std::size_t i = 0; i < formats.size(); ++i)
            if (formats[i].format == type) return static_cast<int>(i);
        return 0;
    };
    auto extension = [&](int index) { return ToQString(formats[static_cast<std::size_t>(index)].extensions[0]); };
    const int start = indexOf(question.type);
    dialog.selectNameFilter(filters.value(start));
    dialog.setDefaultSuffix(extension(start));
    dialog.selectFile(ToQString(question.proposedName));
    // Another type: a bare name gets its extension, and the proposed name
    // (or one of a savable type) takes it on at once.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const int index = std::max(0, static_cast<int>(filters.indexOf(filter)));
        dialog.setDefaultSuffix(extension(index));
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit) return;
        const QFileInfo name(edit->text());
        if (SaveFormatFor(name.fileName().toStdString()) != SaveFormat::Unknown && !name.suffix().isEmpty())
            edit->setText(name.completeBaseName() + QLatin1Char('.') + extension(index));
    });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    question.type = formats[static_cast<std::size_t>(std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))))].format;
    if (!accepted) return std::nullopt;
    const QStringList names = dialog.selectedFiles();
    if (names.isEmpty() || names.front().isEmpty()) return std::nullopt;
    return names.front().toStdString();
}

std::optional<std::string> AskSweepFileName(QWidget* owner, const std::string& folder, SweepFormat format) {
    const ReactivateAfter reactivate(owner);
    QFileDialog dialog(owner, QString(), folder.empty() ? QDir::currentPath() : ToQString(folder));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    switch (format) {
        case SweepFormat::Webp:
            dialog.setNameFilter(QStringLiteral("WebP (*.webp)"));
            dialog.setDefaultSuffix(QStringLiteral("webp"));
            break;
        case SweepFormat::Sheet:
            dialog.setNameFilters(SaveFilters());
            dialog.selectNameFilter(dialog.nameFilters().value(1));  // PNG
            dialog.setDefaultSuffix(QStringLiteral("png"));
            break;
        case SweepFormat::PngFrames:  // the name of a folder to make, or one to fill
            dialog.setNameFilter(QStringLiteral("フォルダ (*)"));
            break;
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList names = dialog.selectedFiles();
    if (names.isEmpty() || names.front().isEmpty()) return std::nullopt;
    return names.front().toStdString();
}

bool ChooseColour(QWidget* owner, RgbValue& colour, std::array<RgbValue, 16>& customColours) {
    const ReactivateAfter reactivate(owner);
    // Qt keeps one set of custom colours for the whole process; ours are the
    // ones the run has collected so far.
    for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, ToQColor(customColours[static_cast<std::size_t>(i)]));
    QColorDialog dialog(ToQColor(colour), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    for (int i = 0; i < 16; ++i) customColours[static_cast<std::size_t>(i)] = FromQColor(QColorDialog::customColor(i));
    if (chosen) colour = FromQColor(dialog.selectedColor());
    return chosen;
}

void PutClipboardBitmap(const Bitmap& bitmap) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return;
    // A copy of our own: later passes and loads never change what was put there.
    const QImage image = ImageFromBitmap(bitmap);
    if (!image.isNull()) clipboard->setImage(image);
}

ClipboardBitmap TakeClipboardBitmap() {
    ClipboardBitmap result;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        result.opened = false;
        return result;
    }
    // Text and other data are not a picture; a picture too big to be worked
    // on is as good as none.
    if (const QMimeData* mime = clipboard->mimeData()) {
        ReadResult read = PictureFromMimeData(*mime, AvailableMemory());
        result.bitmap = std::move(read.bitmap);
        result.damage = std::move(read.damage);
        if (!result.bitmap && read.failure != ReadFailure::NotAPicture) result.reason = read.reason;
    }
    return result;
}

}  // namespace prismview

namespace prismview {

bool AskSaveAll(QWidget* owner, SaveAllQuestion& question) {
    const ReactivateAfter reactivate(owner);
    QDialog dialog(owner);
    dialog.setWindowTitle(ToQString(kSaveAllTitle));
    auto* layout = new QFormLayout(&dialog);
    auto* folder = new QLineEdit(question.folder.empty() ? QDir::currentPath() : ToQString(question.folder), &dialog);
    folder->setObjectName(QStringLiteral("folder"));
    folder->setMinimumWidth(folder->fontMetrics().averageCharWidth() * 48);
    auto* browse = new QPushButton(ToQString(kBrowseText), &dialog);
    browse->setObjectName(QStringLiteral("browse"));
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder, 1);
    folderRow->addWidget(browse);
    layout->addRow(ToQString(kSaveAllFolderLabel), folderRow);
    auto* type = new QComboBox(&dialog);
    type->setObjectName(QStringLiteral("type"));
    const std::span<const SavableFormat> formats = SavableFormats();
    for (const SavableFormat& format : formats) type->addItem(ToQString(format.name));
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (formats[i].format == question.type) type->setCurrentIndex(static_cast<int>(i));
    layout->addRow(ToQString(kSaveAllTypeLabel), type);
    auto* withBase = new QCheckBox(ToQString(kSaveAllWithBaseText), &dialog);
    withBase->setObjectName(QStringLiteral("withBase"));
    withBase->setChecked(question.withBase);
    layout->addRow(withBase);
    auto* names = new QLabel(&dialog);
    names->setObjectName(QStringLiteral("names"));
    layout->addRow(names);
    auto showNames = [&] {
        const QString extension = ToQString(formats[static_cast<std::size_t>(std::max(0, type->currentIndex()))].extensions[0]);
        QStringList list;
        if (withBase->isChecked()) list << ToQString(question.stem) + QStringLiteral("_0.") + extension;
        for (const std::int32_t slot : question.slots)
            list << ToQString(question.stem) + QLatin1Char('_') + QString::number(slot) + QLatin1Char('.') + extension;
        names->setText(list.join(QStringLiteral("\n")));
    };
    showNames();
    QObject::connect(type, &QComboBox::currentIndexChanged, &dialog, showNames);
    QObject::connect(withBase, &QCheckBox::toggled, &dialog, showNames);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        const QString chosen = QFileDialog::getExistingDirectory(&dialog, QString(), folder->text(),
                                                                 QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (!chosen.isEmpty()) folder->setText(chosen);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted || folder->text().isEmpty()) return false;
    question.folder = folder->text().toStdString();
    question.type = formats[static_cast<std::size_t>(std::max(0, type->currentIndex()))].format;
    question.withBase = withBase->isChecked();
    return true;
}

std::optional<bool> AskGallerySize(QWidget* owner) {
    const ReactivateAfter reactivate(owner);
    QMessageBox box(QMessageBox::Question, ToQString(kSaveGalleryTitle), ToQString(kSaveGalleryQuestion),
                    QMessageBox::NoButton, owner);
    QPushButton* own = box.addButton(ToQString(kGalleryOwnSizeText), QMessageBox::AcceptRole);
    own->setObjectName(QStringLiteral("ownSize"));
    QPushButton* shown = box.addButton(ToQString(kGalleryShownSizeText), QMessageBox::AcceptRole);
    shown->setObjectName(QStringLiteral("shownSize"));
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(own);
    box.exec();
    if (box.clickedButton() == own) return true;
    if (box.clickedButton() == shown) return false;
    return std::nullopt;
}

bool AskWriteOptions(QWidget* owner, SaveFormat format, WriteOptions& options) {
    const ReactivateAfter reactivate(owner);
    const bool webp = format == SaveFormat::Webp;
    QDialog dialog(owner);
    dialog.setWindowTitle(webp ? QStringLiteral("WebP の品質") : QStringLiteral("JPEG の品質"));
    auto* layout = new QFormLayout(&dialog);
    auto* quality = new QSpinBox(&dialog);
    quality->setObjectName(QStringLiteral("quality"));
    quality->setRange(1, 100);
    quality->setValue(std::clamp(options.quality, 1, 100));
    layout->addRow(QStringLiteral("品質 (1〜100)"), quality);
    QCheckBox* lossless = nullptr;
    if (webp) {
        lossless = new QCheckBox(QStringLiteral("ロスレス（画素をそのまま保存）"), &dialog);
        lossless->setObjectName(QStringLiteral("lossless"));
        lossless->setChecked(options.lossless);
        quality->setEnabled(!options.lossless);
        QObject::connect(lossless, &QCheckBox::toggled, quality, [quality](bool on) { quality->setEnabled(!on); });
        layout->addRow(lossless);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    options.quality = quality->value();
    if (lossless) options.lossless = lossless->isChecked();
    return true;
}

}  // namespace prismview
