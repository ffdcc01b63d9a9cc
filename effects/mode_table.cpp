#include "effects/mode_table.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/parameter_table.h"

namespace prismview {

namespace {

std::vector<const ModeSpec*> Gather() {
    std::vector<const ModeSpec*> modes;
    for (const auto family : {InversionModes, ComponentModes, MonochromeDotModes, HueModes, LightnessSaturationModes,
                              BackgroundMixModes, EdgeModes, ColourReductionModes, WaveModes, VortexSlideModes})
        for (const ModeSpec& mode : family()) modes.push_back(&mode);
    std::sort(modes.begin(), modes.end(), [](const ModeSpec* a, const ModeSpec* b) { return a->mode < b->mode; });
    return modes;
}

const std::vector<const ModeSpec*>& Modes() {
    static const std::vector<const ModeSpec*> modes = Gather();
    return modes;
}

}  // namespace

std::span<const ModeSpec* const> AllModes() { return Modes(); }

const ModeSpec* FindMode(std::int32_t mode) {
    for (const ModeSpec* record : Modes())
        if (record->mode == mode) return record;
    return nullptr;
}

const ModeSpec* FindModeByName(std::string_view name) {
    if (name.empty()) return nullptr;
    for (const ModeSpec* record : Modes())
        if (record->name == name || record->formerName == name) return record;
    return nullptr;
}

bool SameImages(const ProcessingParams& a, const ProcessingParams& b) {
    if (a.effectMode != b.effectMode) return false;
    const ModeSpec* mode = FindMode(a.effectMode);
    if (!mode) return true;  // no mode: no images to redo
    for (const ParameterInfo& parameter : kParameterTable)
        if ((mode->reads & parameter.reads) != 0 && Differs(parameter, a, b)) return false;
    return true;
}

}  // namespace prismview
