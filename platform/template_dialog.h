// A modal dialog built from a dialog template: one widget per control, placed
// by converting dialog units through the dialog font, as the classic dialog
// manager does. The dialog's logic sees the widgets through DialogControls.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QRect>

#include <utility>
#include <vector>

#include "app/dialogs.h"
#include "resources/dialog_templates.h"

class QWidget;

namespace prismview {

// The dialog font's base units: a dialog unit is a quarter of the average
// character width across and an eighth of the character height down.
struct DialogUnits {
    int charWidth = 1;
    int charHeight = 1;
    QRect ToPixels(int x, int y, int width, int height) const;
    QPoint ToPixels(int x, int y) const;
};

QFont DialogFont(const DialogTemplate& dialogTemplate);
DialogUnits DialogUnitsFor(const QFont& font);

class TemplateDialog : public QDialog, public DialogControls {
    Q_OBJECT

public:
    // `clientOrigin`: the owner's client area's top-left corner on the
    // screen; the template's position counts from there.
    TemplateDialog(const DialogTemplate& dialogTemplate, DialogLogic& logic, QWidget* owner, QPoint clientOrigin);

    // Fills the fields through the logic, then runs the dialog modally.
    int Run();

    // The widget of a control id (the first one, for 65535), or null.
    QWidget* Control(int id) const;
    // Every control's widget, in template order.
    const std::vector<std::pair<const DialogControl*, QWidget*>>& Controls() const { return controls_; }
    const DialogUnits& Units() const { return units_; }

    std::string Text(int id) const override;
    void SetText(int id, std::string_view text) override;
    bool Checked(int id) const override;
    void SetChecked(int id, bool checked) override;

public Q_SLOTS:
    // Esc and the close box arrive here; they count as the Cancel button.
    void reject() override;

private:
    void Press(int id);

    DialogLogic& logic_;
    DialogUnits units_;
    std::vector<std::pair<const DialogControl*, QWidget*>> controls_;
    QWidget* firstTabStop_ = nullptr;
};

}  // namespace prismview
