#include "platform/parameter_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

#include "app/commands.h"
#include "effects/mode_table.h"
#include "platform/qt_text.h"
#include "resources/strings.h"

namespace prismview {

namespace {

constexpr int kPanelWidth = 320;
constexpr int kGrooveStops = 13;  // enough for the wheel's six corners and the grey's straight run

QString HexOf(RgbValue colour) { return QStringLiteral("#%1").arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper(); }

// A groove painted with the colours the values stand for, the handle plain
// above it.
QString GrooveStyle(const std::vector<RgbValue>& colours) {
    QString stops;
    for (std::size_t i = 0; i < colours.size(); ++i)
        stops += QStringLiteral(", stop:%1 %2")
                     .arg(colours.size() > 1 ? static_cast<double>(i) / static_cast<double>(colours.size() - 1) : 0.0)
                     .arg(HexOf(colours[i]));
    return QStringLiteral("QSlider::groove:horizontal { height: 8px; margin: 2px 0; border: 1px solid #808080;"
                          " background: qlineargradient(x1:0, y1:0, x2:1, y2:0%1); }"
                          "QSlider::handle:horizontal { width: 10px; margin: -4px 0; border-radius: 3px;"
                          " border: 1px solid #404040; background: #f4f4f4; }")
        .arg(stops);
}

QIcon Swatch(RgbValue colour) {
    QPixmap swatch(16, 16);
    swatch.fill(QColor::fromRgb(static_cast<QRgb>(colour & 0xFFFFFFu)));
    return QIcon(swatch);
}

}  // namespace

ParameterPanel::ParameterPanel(QWidget* parent, Window& window, AppState& state, QWidget* keyHome)
    : QDockWidget(ToQString(kParameterPanelTitle), parent), window_(window), state_(state), keyHome_(keyHome) {
    setObjectName(QStringLiteral("parameterPanel"));
    // Only the view menu hides it: its mark stays true.
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    body->setFixedWidth(kPanelWidth);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 2);
    mode_ = new QLabel(body);
    layout->addWidget(mode_);
    scroll_ = new QScrollArea(body);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(scroll_, 1);
    setWidget(body);
}

void ParameterPanel::Rebuild() {
    builtFor_ = state_.params.effectMode;
    // A drag cut short (an undo brought another mode back) still ends as one step.
    if (dragging_) {
        dragging_ = false;
        EndPanelDrag(window_, state_);
    }
    // What was typed into the old rows' boxes and not entered goes with
    // them: the focus leaving a box as its rows go must not enter it.
    for (const Control& control : controls_)
        if (control.box) control.box->setModified(false);
    controls_.clear();
    parameters_.clear();
    const ModeSpec* mode = FindMode(state_.params.effectMode);
    mode_->setText(mode ? ToQString(mode->menuCaption) : QString());
    auto* rows = new QWidget;
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, 0);
    for (const PanelRow& row : mode ? PanelRows(*mode) : std::vector<PanelRow>{}) {
        parameters_.push_back(row.parameter);
        auto* group = new QGroupBox(ToQString(row.parameter->label), rows);
        auto* grid = new QGridLayout(group);
        grid->setColumnStretch(1, 1);
        int line = 0;
        for (const PanelLine& panelLine : row.lines) AddLine(grid, line++, *row.parameter, panelLine);
        if (!row.note.empty()) {
            auto* note = new QLabel(ToQString(row.note), group);
            note->setWordWrap(true);
            note->setStyleSheet(QStringLiteral("color: #606060;"));
            grid->addWidget(note, line, 0, 1, 3);
        }
        column->addWidget(group);
    }
    column->addStretch(1);
    // The old rows go once the event that rebuilt them is over.
    if (QWidget* old = scroll_->takeWidget()) old->deleteLater();
    scroll_->setWidget(rows);
}

void ParameterPanel::AddLine(QGridLayout* grid, int row, const ParameterInfo& parameter, const PanelLine& line) {
    QWidget* owner = grid->parentWidget();
    Control control{line, &parameter};
    // A key step's caption takes the slider's place too; a slider without
    // a caption takes the caption's.
    const bool alone = line.control == PanelControl::Number;
    if (!line.caption.empty()) grid->addWidget(new QLabel(ToQString(line.caption), owner), row, 0, 1, alone ? 2 : 1);
    const PanelValue value = line.value;
    auto numberBox = [&] {
        auto* box = new QLineEdit(owner);
        box->setFixedWidth(84);
        box->setAlignment(Qt::AlignRight);
        connect(box, &QLineEdit::editingFinished, this, [this, box, value] {
            if (!box->isModified()) return;  // left without an edit, or entered already
            box->setModified(false);
            PanelTextEntered(window_, state_, value, box->text().toStdString());
        });
        // After Enter the keys go back to the pictures.
        connect(box, &QLineEdit::returnPressed, this, [this] {
            QMetaObject::invokeMethod(keyHome_, [home = keyHome_] { home->setFocus(Qt::OtherFocusReason); },
                                      Qt::QueuedConnection);
        });
        grid->addWidget(box, row, 2);
        return box;
    };
    switch (line.control) {
        case PanelControl::Slider: {
            auto* slider = new QSlider(Qt::Horizontal, owner);
            slider->setFocusPolicy(Qt::NoFocus);  // the arrow keys stay with the pictures
            const std::vector<RgbValue> colours = GrooveColours(parameter, SliderRange(state_, value), kGrooveStops);
            if (!colours.empty()) slider->setStyleSheet(GrooveStyle(colours));
            connect(slider, &QSlider::valueChanged, this,
                    [this, value](int v) { PanelValueChanged(window_, state_, value, static_cast<std::int32_t>(v)); });
            connect(slider, &QSlider::sliderPressed, this, [this] {
                dragging_ = true;
                BeginPanelDrag(state_);
            });
            connect(slider, &QSlider::sliderReleased, this, [this] {
                if (!dragging_) return;
                dragging_ = false;
                EndPanelDrag(window_, state_);
            });
            if (line.caption.empty()) grid->addWidget(slider, row, 0, 1, 2);
            else grid->addWidget(slider, row, 1);
            control.slider = slider;
            control.box = numberBox();
            break;
        }
        case PanelControl::Number: control.box = numberBox(); break;
        case PanelControl::Choice: {
            auto* choice = new QComboBox(owner);
            choice->setFocusPolicy(Qt::NoFocus);
            for (std::string_view word : parameter.words)
                if (!word.empty()) choice->addItem(ToQString(word));
            connect(choice, &QComboBox::currentIndexChanged, this,
                    [this, value](int index) { PanelValueChanged(window_, state_, value, index); });
            grid->addWidget(choice, row, 1, 1, 2);
            control.choice = choice;
            break;
        }
        case PanelControl::Check: {
            auto* check = new QCheckBox(ToQString(parameter.words[1]), owner);
            check->setFocusPolicy(Qt::NoFocus);
            connect(check, &QCheckBox::toggled, this, [this, value](bool on) { PanelValueChanged(window_, state_, value, on ? 1 : 0); });
            grid->addWidget(check, row, 1, 1, 2);
            control.check = check;
            break;
        }
        case PanelControl::Colour: {
            auto* button = new QPushButton(owner);
            button->setFocusPolicy(Qt::NoFocus);
            // The chooser of the menu's item: the same custom colours, the same undo step.
            connect(button, &QPushButton::clicked, this, [this] { BackgroundColourCommand(window_, state_); });
            grid->addWidget(button, row, 1, 1, 2);
            control.colour = button;
            break;
        }
    }
    controls_.push_back(control);
}

void ParameterPanel::Refresh() {
    if (!builtFor_ || *builtFor_ != state_.params.effectMode) Rebuild();
    for (const Control& control : controls_) {
        const PanelValue value = control.line.value;
        if (control.colour) {
            const RgbValue colour = state_.params.backgroundColor & 0xFFFFFFu;
            control.colour->setIcon(Swatch(colour));
            control.colour->setText(HexOf(colour));
            continue;
        }
        const std::int32_t now = PanelValueOf(state_, value);
        // What the panel sets here is the state's, not a change of the user's.
        if (control.slider) {
            const QSignalBlocker blocker(control.slider);
            const ParameterRange range = SliderRange(state_, value);
            control.slider->setRange(range.lo, range.hi);
            control.slider->setPageStep(std::max(1, static_cast<int>((std::int64_t{range.hi} - range.lo) / 10)));
            control.slider->setValue(now);
        }
        // A box being typed into keeps what the user typed.
        if (control.box && !(control.box->hasFocus() && control.box->isModified())) {
            const QSignalBlocker blocker(control.box);
            control.box->setText(QString::number(now));
        }
        if (control.choice) {
            const QSignalBlocker blocker(control.choice);
            control.choice->setCurrentIndex(now >= 0 && now < control.choice->count() ? now : 0);
        }
        if (control.check) {
            const QSignalBlocker blocker(control.check);
            control.check->setChecked(now != 0);
        }
    }
}

const ParameterPanel::Control* ParameterPanel::Find(PanelValue value) const {
    const auto it = std::find_if(controls_.begin(), controls_.end(), [&](const Control& c) {
        return c.line.control != PanelControl::Colour && c.line.value == value;
    });
    return it == controls_.end() ? nullptr : &*it;
}

QSlider* ParameterPanel::Slider(PanelValue value) const { return Find(value) ? Find(value)->slider : nullptr; }
QLineEdit* ParameterPanel::Box(PanelValue value) const { return Find(value) ? Find(value)->box : nullptr; }
QComboBox* ParameterPanel::Choice(PanelValue value) const { return Find(value) ? Find(value)->choice : nullptr; }
QCheckBox* ParameterPanel::Check(PanelValue value) const { return Find(value) ? Find(value)->check : nullptr; }

QPushButton* ParameterPanel::ColourButton() const {
    for (const Control& control : controls_)
        if (control.colour) return control.colour;
    return nullptr;
}

std::vector<const ParameterInfo*> ParameterPanel::Parameters() const { return parameters_; }

}  // namespace prismview
