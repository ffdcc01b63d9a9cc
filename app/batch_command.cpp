#include "app/batch_command.h"

#include "app/menu.h"
#include "core/parameter_table.h"
#include "effects/mode_table.h"
#include "resources/strings.h"

namespace prismview {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

// " --mode NAME" and the values the mode reads, as the batch tool reads them.
std::string PassArguments(const ProcessingParams& params) {
    const ModeSpec* mode = FindMode(params.effectMode);
    std::string options;
    if (!mode) return options;
    for (const ParameterInfo& parameter : kParameterTable) {
        const std::string option = " --" + std::string(parameter.name);
        if (parameter.kind == ParameterKind::Mode) {
            options += option + " " + std::string(mode->name);  // by its name: people read the command
        } else if ((mode->reads & parameter.reads) != 0) {
            if (parameter.kind != ParameterKind::Flag) options += option + " " + CommandValue(parameter, params);
            else if (params.*parameter.fields[0].member != 0) options += option;
        }
    }
    return options;
}

std::string BatchCommandFor(const AppState& state) {
    std::string command = "prismview-batch";
    if (!FindMode(state.params.effectMode)) return command;
    // The passes that made the base from the file's picture, each handing on its image.
    if (!state.basePath.empty())
        for (const ChainStep& step : state.baseChain)
            command += PassArguments(step.params) + " --slots " + std::to_string(step.slot) + " --then";
    command += PassArguments(state.params);
    const std::int32_t selected = state.view.selectedImage;
    if (selected >= 1 && selected < kSlotCount) command += " --slots " + std::to_string(selected);
    // The window shows a damaged file's picture; the tool reads it only when told.
    if (!state.basePath.empty() && !state.baseDamage.empty()) command += " --allow-damaged";
    const std::string picture = state.basePath.empty() ? std::string(kPlaceholderPicture) : state.basePath;
    // "--" ends the options: a path may start with a dash.
    command += " -- " + Quoted(picture) + " prismview_";
    if (state.basePath.empty())
        command = "# " + std::string(kPlaceholderComment) + std::string(kPlaceholderPicture) + "\n" + command;
    return command;
}

void CopyBatchCommand(Window& window, const AppState& state) { window.PutClipboardText(BatchCommandFor(state)); }

std::string_view CopyCommandCaption(const AppState& state) {
    return state.basePath.empty() ? kCopyCommandPlaceholderCaption : kCopyCommandCaption;
}

}  // namespace prismview
