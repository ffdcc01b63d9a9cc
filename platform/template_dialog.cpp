#include "platform/template_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "platform/icon.h"
#include "platform/qt_text.h"

namespace prismview {

namespace {

// a * b / c rounded half away from zero, as the platform scales dialog units.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

bool TakesTabStop(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::TextField:
        case ControlKind::CheckBox:
            return true;
        default:
            return false;  // radio buttons are reached by clicking, like statics never
    }
}

}  // namespace

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(MulDiv(x, charWidth, 4), MulDiv(y, charHeight, 8), MulDiv(width, charWidth, 4),
                 MulDiv(height, charHeight, 8));
}

QPoint DialogUnits::ToPixels(int x, int y) const { return QPoint(MulDiv(x, charWidth, 4), MulDiv(y, charHeight, 8)); }

QFont DialogFont(const DialogTemplate& dialogTemplate) {
    QFont font(ToQString(dialogTemplate.fontFamily));
    font.setPointSize(dialogTemplate.pointSize);
    return font;
}

DialogUnits DialogUnitsFor(const QFont& font) {
    // The average width over the 52 letters, rounded, as the platform takes it.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogUnits units;
    units.charWidth = std::max(1, (letters / 26 + 1) / 2);
    units.charHeight = std::max(1, metrics.height());
    return units;
}

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, DialogLogic& logic, QWidget* owner,
                               QPoint clientOrigin)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      logic_(logic) {
    setWindowTitle(ToQString(dialogTemplate.title));
    setFont(DialogFont(dialogTemplate));
    units_ = DialogUnitsFor(font());
    const QRect frame = units_.ToPixels(dialogTemplate.x, dialogTemplate.y, dialogTemplate.width, dialogTemplate.height);
    setFixedSize(frame.size());
    move(clientOrigin + frame.topLeft());

    QButtonGroup* radios = nullptr;  // consecutive radio buttons form one group
    for (const DialogControl& control : dialogTemplate.controls) {
        const QString text = ToQString(control.text);
        QWidget* widget = nullptr;
        if (control.kind != ControlKind::RadioButton) radios = nullptr;
        switch (control.kind) {
            case ControlKind::Icon: {
                auto* label = new QLabel(this);
                const QPixmap pixmap = QPixmap::fromImage(IconImageToQImage(ProgramIconLarge));
                label->setPixmap(pixmap);
                widget = label;
                break;
            }
            case ControlKind::Static: {
                auto* label = new QLabel(text, this);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                // A one-line text never wraps out of sight below its line.
                label->setWordWrap(control.multiLine);
                widget = label;
                break;
            }
            case ControlKind::GroupBox:
                widget = new QGroupBox(text, this);
                break;
            case ControlKind::PushButton:
            case ControlKind::DefaultPushButton: {
                auto* button = new QPushButton(text, this);
                button->setDefault(control.kind == ControlKind::DefaultPushButton);
                widget = button;
                break;
            }
            case ControlKind::TextField:
                widget = new QLineEdit(this);
                break;
            case ControlKind::RadioButton: {
                auto* button = new QRadioButton(text, this);
                if (!radios) {
                    radios = new QButtonGroup(this);
                    radios->setExclusive(true);
                }
                radios->addButton(button);
                widget = button;
                break;
            }
            case ControlKind::CheckBox:
                widget = new QCheckBox(text, this);
                break;
        }
        QRect rect = units_.ToPixels(control.x, control.y, control.width, control.height);
        if (control.kind == ControlKind::Icon) rect.setSize(QSize(ProgramIconLarge.size, ProgramIconLarge.size));
        if (control.kind == ControlKind::Static && !control.multiLine) {
            // The stand-in font runs a little wider than the one the
            // rectangles were measured with: a one-line text widens its
            // label, up to the dialog's edge, rather than lose its end.
            const int textWidth = fontMetrics().horizontalAdvance(text);
            rect.setWidth(std::max(rect.width(), std::min(textWidth, width() - rect.x())));
        }
        widget->setGeometry(rect);
        widget->setProperty("controlId", control.id);
        if (TakesTabStop(control.kind)) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (!firstTabStop_) firstTabStop_ = widget;
        } else if (control.kind == ControlKind::RadioButton) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const int id = control.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { Press(id); });
        }
        controls_.emplace_back(&control, widget);
    }
}

int TemplateDialog::Run() {
    logic_.Init(*this);
    if (firstTabStop_) firstTabStop_->setFocus();
    return exec();
}

QWidget* TemplateDialog::Control(int id) const {
    for (const auto& [control, widget] : controls_)
        if (control->id == id) return widget;
    return nullptr;
}

std::string TemplateDialog::Text(int id) const {
    const QWidget* widget = Control(id);
    QString text;
    if (const auto* field = qobject_cast<const QLineEdit*>(widget)) text = field->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) text = button->text();
    else if (const auto* label = qobject_cast<const QLabel*>(widget)) text = label->text();
    else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) text = group->title();
    return text.toStdString();
}

void TemplateDialog::SetText(int id, std::string_view text) {
    QWidget* widget = Control(id);
    const QString value = ToQString(text);
    if (auto* field = qobject_cast<QLineEdit*>(widget)) field->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(value);
    else if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) group->setTitle(value);
}

bool TemplateDialog::Checked(int id) const {
    const auto* button = qobject_cast<const QAbstractButton*>(Control(id));
    return button && button->isChecked();
}

void TemplateDialog::SetChecked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id)); button && button->isCheckable())
        button->setChecked(checked);
}

void TemplateDialog::reject() { Press(kDialogCancel); }

void TemplateDialog::Press(int id) {
    if (const int result = logic_.Command(id, *this)) done(result);
}

}  // namespace prismview
