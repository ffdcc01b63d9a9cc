#include "core/vector_target.h"

#include "core/wide_loops.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/vector_target.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {

const char* TargetNameHere() { return hwy::TargetName(HWY_TARGET); }

bool WideHere() {
#if HWY_ARCH_X86
    return HWY_TARGET <= HWY_AVX2;  // the better x86 targets have the lower bits
#else
    return false;
#endif
}

}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(TargetNameHere);
HWY_EXPORT(WideHere);

const char* VectorTargetName() { return HWY_DYNAMIC_DISPATCH(TargetNameHere)(); }

bool WideLoops() { return HWY_DYNAMIC_DISPATCH(WideHere)(); }

}  // namespace prismview
#endif
