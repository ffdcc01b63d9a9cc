#include "app/chain.h"

#include "core/image_set.h"
#include "core/process.h"
#include "effects/mode_table.h"
#include "resources/strings.h"

namespace prismview {

bool ChainSlotIsBlank(const ModeSpec& mode, std::int32_t slot) {
    return slot >= 1 && slot < kSlotCount && mode.labels[static_cast<std::size_t>(slot - 1)] == kBlankLabel;
}

BitmapHandle ApplyChain(const Bitmap& base, const Chain& chain) {
    BitmapHandle current = Bitmap::Create(base.Width(), base.Height());
    if (!current || !current->CopyFrom(base)) return nullptr;
    for (const ChainStep& step : chain) {
        const ModeSpec* mode = FindMode(step.params.effectMode);
        if (!mode || step.slot < 1 || step.slot >= kSlotCount || ChainSlotIsBlank(*mode, step.slot)) return nullptr;
        ImageSet images;
        InstallBaseImage(images, std::move(current));
        for (int slot = 1; slot < kSlotCount; ++slot)
            if (!images.bitmaps[static_cast<std::size_t>(slot)]) return nullptr;
        if (!ProcessImages(images, mode, step.params)) return nullptr;
        current = std::move(images.bitmaps[static_cast<std::size_t>(step.slot)]);
    }
    return current;
}

}  // namespace prismview
