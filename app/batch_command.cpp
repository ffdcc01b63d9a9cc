#include "app/batch_command.h"

#include <cstdio>

#include "app/menu.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The parameter of the table that a read bit stands for.
bool Reads(unsigned reads, const ParameterInfo& parameter) {
    const std::string_view name = parameter.name;
    if (name == "hue") return reads & ReadsHue;
    if (name == "level") return reads & ReadsLevel;
    if (name == "background") return reads & ReadsBackground;
    if (name == "freq") return reads & ReadsFrequency;
    if (name == "amplitude") return reads & ReadsAmplitude;
    if (name == "phase") return reads & ReadsPhase;
    if (name == "overflow") return reads & ReadsOverflow;
    if (name == "center") return reads & ReadsCentre;
    if (name == "start-from-end") return reads & ReadsStartFromEnd;
    return false;
}

}  // namespace

std::string BatchCommandFor(const AppState& state) {
    const ProcessingParams& params = state.params;
    const ModeSpec* mode = FindMode(params.effectMode);
    std::string command = "prismview-batch";
    if (!mode) return command;
    command += " --mode " + std::string(mode->name);
    for (const ParameterInfo& parameter : kParameterTable) {
        if (!Reads(mode->reads, parameter)) continue;
        const std::string option = " --" + std::string(parameter.name);
        switch (parameter.kind) {
            case ParameterKind::Number: command += option + " " + std::to_string(params.*parameter.field); break;
            case ParameterKind::Pair:
                command += option + " " + std::to_string(params.*parameter.field) + parameter.separator +
                           std::to_string(params.*parameter.second);
                break;
            case ParameterKind::Colour: {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(params.backgroundColor & 0xFFFFFFu));
                command += option + " " + hex;
                break;
            }
            case ParameterKind::Flag:
                if (params.*parameter.field != 0) command += option;
                break;
            case ParameterKind::Mode: break;
        }
    }
    const std::int32_t selected = state.view.selectedImage;
    if (selected >= 1 && selected < kSlotCount) command += " --slots " + std::to_string(selected);
    // The window shows a damaged file's picture; the tool reads it only when told.
    if (!state.basePath.empty() && !state.baseDamage.empty()) command += " --allow-damaged";
    const std::string picture = state.basePath.empty() ? std::string(kPlaceholderPicture) : state.basePath;
    // "--" ends the options: a path may start with a dash.
    return command + " -- " + Quoted(picture) + " prismview_";
}

void CopyBatchCommand(Window& window, const AppState& state) { window.PutClipboardText(BatchCommandFor(state)); }

std::string_view CopyCommandCaption(const AppState& state) {
    return state.basePath.empty() ? kCopyCommandPlaceholderCaption : kCopyCommandCaption;
}

}  // namespace prismview
