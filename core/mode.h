// What the program knows of one processing mode, in one record: its menu
// caption and section, its labels, its command-line name, what it reads and
// its four slot kernels. Each family of modes defines its records next to its formulas
// (effects/); the menu, the batch tool, the swatches, the right click and the
// pass all read them.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/params.h"
#include "core/pixels.h"

namespace prismview {

// The parameters a mode's images depend on, as bits; each row of
// kParameterTable (core/parameter_table.h) names its bit.
enum ModeReads : unsigned {
    ReadsHue = 1u << 0,
    ReadsLevel = 1u << 1,
    ReadsBackground = 1u << 2,
    ReadsFrequency = 1u << 3,
    ReadsAmplitude = 1u << 4,
    ReadsPhase = 1u << 5,
    ReadsOverflow = 1u << 6,
    ReadsCentre = 1u << 7,  // a right click sets it
    ReadsStartFromEnd = 1u << 8,
};

// The parameters that are lengths in the picture's pixels for a mode, as
// bits (each row of kParameterTable names its bit, and how it shrinks):
// shown shrunk, a picture looks the same when these shrink with it (a preview).
enum ModeLengths : unsigned {
    NoLengths = 0,
    LengthAmplitude = 1u << 0,
    LengthWavelength = 1u << 1,  // the frequency counts cycles per pixel
    LengthCentre = 1u << 2,
};

// A set of the slots 1..4, as bits.
enum SlotBits : unsigned {
    NoSlot = 0,
    Slot1 = 1u << 0,
    Slot2 = 1u << 1,
    Slot3 = 1u << 2,
    Slot4 = 1u << 3,
    AllSlots = Slot1 | Slot2 | Slot3 | Slot4,
};
constexpr bool HasSlot(unsigned slots, std::int32_t slot) {
    return slot >= 1 && slot <= 4 && (slots >> (slot - 1) & 1u) != 0;
}

// Where the mode's item stands in the mode menu.
enum class MenuSection { Colours, Distortions };

// Memory a slot kernel may keep for the same slot's kernel of the next pass
// (its tables), so that a pass does not fault in fresh pages for them: any
// type, made by the first kernel that asks for it.
class SlotScratch {
public:
    template <class T>
    std::vector<T>& Of() {
        auto* held = dynamic_cast<Held<T>*>(held_.get());
        if (!held) {
            held_ = std::make_unique<Held<T>>();
            held = static_cast<Held<T>*>(held_.get());
        }
        return held->values;
    }

private:
    struct Base {
        virtual ~Base() = default;
    };
    template <class T>
    struct Held final : Base {
        std::vector<T> values;
    };
    std::unique_ptr<Base> held_;
};

// What a slot kernel sees of a pass; read-only while the rows run.
struct PassInput {
    SourceRows source;  // the base image, read in place
    const ProcessingParams& params;
    // DotNoiseRaw of every pixel index (row y, column x at y * width + x),
    // for modes that draw dots; null for the others.
    const std::int32_t* dotNoise = nullptr;
    int threads = 1;  // the pass's, for tables a kernel works out before the rows
    SlotScratch* scratch = nullptr;  // this slot's; null: the kernel keeps its own
    // The pass's cancel flag (null: none), for work a kernel does before the
    // rows: once it is set the pass is abandoned, so that work may stop too.
    const std::atomic<bool>* cancel = nullptr;
};

// One slot's work for one pass. It is made before any row, from the pass's
// parameters (that is when its tables and memos are worked out), and then
// asked for ranges of rows by several threads at once.
class SlotKernel {
public:
    virtual ~SlotKernel() = default;
    // Fills the output rows of positions first..last-1. A position is the row
    // itself unless the kernel visits rows in an order of its own; every
    // position stands for exactly one row, so all positions fill every row once.
    virtual void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const = 0;
    // Whether position p is row p itself: false for a kernel with an order
    // of its own.
    virtual bool PositionsAreRows() const { return true; }
    // Whether kernels of this type read PassInput::dotNoise; a schedule
    // that does says so.
    static constexpr bool kReadsDots = false;
};

// How a slot's kernel is made for a pass, and whether it reads the dot noise.
struct SlotKernelMaker {
    std::unique_ptr<SlotKernel> (*make)(const PassInput& input) = nullptr;
    bool readsDots = false;

    explicit operator bool() const { return make != nullptr; }
    std::unique_ptr<SlotKernel> operator()(const PassInput& input) const { return make(input); }
};

struct ModeSpec {
    EffectMode mode;
    std::string_view menuCaption;
    MenuSection section;
    std::array<std::string_view, 4> labels{};  // of slots 1..4; none for the distortions
    std::string_view name;        // on the command line: "hue-rotate"
    std::string_view formerName{};  // what earlier versions called it there, still accepted; empty: the same
    unsigned reads;               // ModeReads
    unsigned hueSwatch = NoSlot;    // SlotBits: slots shown with the hue swatch
    unsigned levelSwatch = NoSlot;  // SlotBits: slots shown with the level swatch
    std::array<SlotKernelMaker, 4> slots;
    unsigned lengths = NoLengths;  // ModeLengths

    bool UsesCentre() const { return (reads & ReadsCentre) != 0; }
    // Whether its kernels read PassInput::dotNoise, which the pass then keeps.
    constexpr bool DrawsDots() const {
        for (const SlotKernelMaker& slot : slots)
            if (slot.readsDots) return true;
        return false;
    }
};

}  // namespace prismview
