#include "app/batch_command.h"

#include "app/menu.h"
#include "core/parameter_table.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string BatchCommandFor(const AppState& state) {
    const ProcessingParams& params = state.params;
    const ModeSpec* mode = FindMode(params.effectMode);
    std::string command = "prismview-batch";
    if (!mode) return command;
    for (const ParameterInfo& parameter : kParameterTable) {
        const std::string option = " --" + std::string(parameter.name);
        if (parameter.kind == ParameterKind::Mode) {
            command += option + " " + std::string(mode->name);  // by its name: people read the command
        } else if ((mode->reads & parameter.reads) != 0) {
            if (parameter.kind != ParameterKind::Flag) command += option + " " + CommandValue(parameter, params);
            else if (params.*parameter.fields[0].member != 0) command += option;
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
