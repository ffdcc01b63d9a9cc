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

namespace {

// The parameters a mode reads, as bits.
enum Reads : unsigned {
    kHue = 1u << 0,
    kLevel = 1u << 1,
    kBackground = 1u << 2,
    kGeometry = 1u << 3,  // the wave fields, overflow treatment, centre and start-from-end
};

unsigned ReadsOf(std::int32_t mode) {
    switch (mode) {
        case ModeInvert:
        case ModeMonochrome:
        case ModeDotsMono:
        case ModeDotsColor:
        case ModeColorReduce: return 0;
        case ModeRgbComponents:
        case ModeYcmComponents:
        case ModeHueLineInvert:
        case ModeHueRotate:
        case ModeLevelToHue:
        case ModeTintMono2:
        case ModeTintMono3: return kHue;
        case ModeBrighten:
        case ModeDarken: return kLevel;
        case ModeSaturation:
        case ModeSaturation2: return kLevel | kHue;
        case ModeBackgroundMix: return kLevel | kBackground;
        case ModeEdges:
        case ModeEdges2: return kBackground;
        case ModeWave:
        case ModeSingleWave:
        case ModeRipple:
        case ModeSingleRipple:
        case ModeVortex:
        case ModeSlide: return kBackground | kGeometry;
        default: return ~0u;  // unknown: everything
    }
}

}  // namespace

bool SameImages(const ProcessingParams& a, const ProcessingParams& b) {
    if (a.effectMode != b.effectMode) return false;
    const unsigned reads = ReadsOf(a.effectMode);
    if ((reads & kHue) && a.hue != b.hue) return false;
    if ((reads & kLevel) && a.level != b.level) return false;
    if ((reads & kBackground) && a.backgroundColor != b.backgroundColor) return false;
    if ((reads & kGeometry) &&
        (a.waveFreqNum != b.waveFreqNum || a.waveFreqDen != b.waveFreqDen || a.waveAmplitude != b.waveAmplitude ||
         a.wavePhase != b.wavePhase || a.wavePhaseDen != b.wavePhaseDen || a.overflowMode != b.overflowMode ||
         a.centerX != b.centerX || a.centerY != b.centerY || a.startFromEnd != b.startFromEnd))
        return false;
    return true;
}

const EffectTable& AllEffects() {
    static const EffectTable table = BuildTable();
    return table;
}

}  // namespace prismview
