#include "effects/effect_table.h"

namespace prismview {

namespace {
EffectTable BuildTable() {
    EffectTable table{};
    AddInversionEffects(table);
    AddComponentEffects(table);
    AddMonochromeDotEffects(table);
    AddHueEffects(table);
    AddLightnessSaturationEffects(table);
    AddBackgroundMixEffects(table);
    AddColourReductionEffects(table);
    AddEdgeEffects(table);
    AddWaveEffects(table);
    AddVortexSlideEffects(table);
    return table;
}
}  // namespace

const EffectTable& AllEffects() {
    static const EffectTable table = BuildTable();
    return table;
}

}  // namespace prismview
