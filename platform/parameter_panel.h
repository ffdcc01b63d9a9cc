// The parameter panel: a dock beside the client area with a control for
// every value the current mode reads (PanelRows), rebuilt when the mode
// changes. It shows the state after every change, whoever made it, and a
// change made in it goes through the same logic as the keys and dialogs.
// Its width stays fixed, so that another mode's rows never change the
// tiles' scale.
#pragma once

#include <QDockWidget>

#include <optional>
#include <vector>

#include "app/app_state.h"
#include "app/parameter_panel.h"
#include "app/window.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;

namespace prismview {

class ParameterPanel : public QDockWidget {
    Q_OBJECT

public:
    // `keyHome` takes the keyboard back once a number has been entered.
    ParameterPanel(QWidget* parent, Window& window, AppState& state, QWidget* keyHome);
    // Shows what the state holds now, without reporting it as a change.
    void Refresh();

    // Its controls, for tests: the slider and the number box of a value.
    QSlider* Slider(PanelValue value) const;
    QLineEdit* Box(PanelValue value) const;
    QComboBox* Choice(PanelValue value) const;
    QCheckBox* Check(PanelValue value) const;
    QPushButton* ColourButton() const;
    // The parameters it has rows for, in order.
    std::vector<const ParameterInfo*> Parameters() const;

private:
    struct Control {
        PanelLine line;
        const ParameterInfo* parameter = nullptr;
        QSlider* slider = nullptr;
        QLineEdit* box = nullptr;
        QComboBox* choice = nullptr;
        QCheckBox* check = nullptr;
        QPushButton* colour = nullptr;
    };
    void Rebuild();
    void AddLine(QGridLayout* grid, int row, const ParameterInfo& parameter, const PanelLine& line);
    const Control* Find(PanelValue value) const;

    Window& window_;
    AppState& state_;
    QWidget* keyHome_;
    QScrollArea* scroll_;
    QLabel* mode_;
    std::vector<Control> controls_;
    std::vector<const ParameterInfo*> parameters_;
    std::optional<std::int32_t> builtFor_;  // the mode whose rows are shown
    bool dragging_ = false;
};

}  // namespace prismview
