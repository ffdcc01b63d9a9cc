// Loops the compiler vectorises by itself, compiled twice: for the x86-64
// baseline (SSE2) and for AVX2, chosen at run time as the vector kernels are.
//
// The baseline build must run on any x86-64, so the compiler's own
// vectorising stops at SSE2; a row loop passed to RunLoop is also compiled,
// inlined whole, with AVX2 enabled, and runs that way where the processor
// has it and the vector kernels' dispatch has not been held below it. Only
// the instruction set changes: every operation keeps its order and rounding
// (floating-point contraction is off throughout, and FMA is not enabled).
#pragma once

#include <utility>

namespace prismview {

// Whether RunLoop takes the AVX2 road: the processor has it and the target
// chosen for the vector kernels is AVX2 or better.
bool WideLoops();

#if defined(__x86_64__) && defined(__GNUC__)
template <class Loop>
[[gnu::target("avx2"), gnu::flatten]] inline void RunLoopWide(Loop& loop) {
    loop();
}
#endif

template <class Loop>
inline void RunLoop(Loop&& loop) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (WideLoops()) return RunLoopWide(loop);
#endif
    loop();
}

}  // namespace prismview
