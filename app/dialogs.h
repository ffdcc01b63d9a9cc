// The logic of the modal dialogs: what the fields show when a dialog opens,
// and how OK reads and corrects them. The widgets are built elsewhere from
// the templates; the logic reaches them by control id only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "core/parameter_table.h"

namespace prismview {

// The controls of an open dialog, by id.
class DialogControls {
public:
    virtual ~DialogControls() = default;
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, std::string_view text) = 0;
    virtual bool Checked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;
};

inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

class DialogLogic {
public:
    virtual ~DialogLogic() = default;
    virtual int TemplateId() const = 0;
    virtual void Init(DialogControls& controls) = 0;
    // A button was pressed (Esc and the close box arrive as Cancel). Returns 0
    // to keep the dialog open, or the dialog's result: kDialogOk, kDialogCancel.
    virtual int Command(int id, DialogControls& controls) = 0;
};

// A field's text as a number, the way atoi reads it: leading white space,
// an optional sign, decimal digits up to the first other character (none
// gives 0), accumulated in 32 bits with wrap-around. Only the first 253
// bytes of the text count, as a field holds no more.
std::int32_t ReadFieldNumber(std::string_view text);

// Stores a key step as the dialogs correct their entries: the hue's
// compared unsigned into 1..255 (so a negative entry counts as too large),
// the level's clamped into 1..255, the centre's as it is, zero and negative
// steps included.
void SetKeyStep(KeySteps& steps, KeyStep step, std::int32_t entry);

class AboutDialog final : public DialogLogic {
public:
    int TemplateId() const override;
    void Init(DialogControls&) override {}
    int Command(int id, DialogControls&) override;
};

class HueLevelDialog final : public DialogLogic {
public:
    HueLevelDialog(ProcessingParams& params, KeySteps& steps) : params_(params), steps_(steps) {}
    int TemplateId() const override;
    void Init(DialogControls& controls) override;
    int Command(int id, DialogControls& controls) override;

private:
    ProcessingParams& params_;
    KeySteps& steps_;
};

class WaveDialog final : public DialogLogic {
public:
    WaveDialog(ProcessingParams& params, KeySteps& steps) : params_(params), steps_(steps) {}
    int TemplateId() const override;
    void Init(DialogControls& controls) override;
    int Command(int id, DialogControls& controls) override;

private:
    ProcessingParams& params_;
    KeySteps& steps_;
};

// The start and end values the sweep dialog proposes for a parameter: its
// whole range, one turn of the phase, the picture's width or height around
// the middle for the centre, or from the current value up for the rest.
std::array<std::int32_t, 2> SweepSpan(SweepParameter parameter, const ProcessingParams& params, Size picture);

class SweepDialog final : public DialogLogic {
public:
    SweepDialog(SweepRequest& request, const ProcessingParams& params, Size picture)
        : request_(request), params_(params), picture_(picture) {}
    int TemplateId() const override;
    void Init(DialogControls& controls) override;
    int Command(int id, DialogControls& controls) override;

private:
    SweepRequest& request_;
    const ProcessingParams& params_;
    Size picture_;
};

}  // namespace prismview
