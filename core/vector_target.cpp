#include "core/vector_target.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/vector_target.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {

const char* TargetNameHere() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(TargetNameHere);

const char* VectorTargetName() { return HWY_DYNAMIC_DISPATCH(TargetNameHere)(); }

}  // namespace prismview
#endif
