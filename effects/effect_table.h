// Every mode's effects, gathered from the effect families.
#pragma once

#include "core/effect.h"

namespace prismview {

// The table the pass dispatches through; built once.
const EffectTable& AllEffects();

// Whether two sets of parameters give the same images: the same mode, and
// equal values of every parameter that mode's effects read. A pass for `b`
// after one for `a` on the same base image can then be skipped.
bool SameImages(const ProcessingParams& a, const ProcessingParams& b);

// Fills the pass's perPixel with the raw dot noise of every index; shared by
// every mode that draws dots.
void PrepareDotNoise(const SourceRows& source, const ProcessingParams& params, PassScratch& scratch,
                     std::int32_t first, std::int32_t last);

// Each family fills the entries of its modes.
void AddInversionEffects(EffectTable& table);
void AddComponentEffects(EffectTable& table);
void AddMonochromeDotEffects(EffectTable& table);
void AddHueEffects(EffectTable& table);
void AddLightnessSaturationEffects(EffectTable& table);
void AddBackgroundMixEffects(EffectTable& table);
void AddColourReductionEffects(EffectTable& table);
void AddEdgeEffects(EffectTable& table);
void AddWaveEffects(EffectTable& table);
void AddVortexSlideEffects(EffectTable& table);

}  // namespace prismview
