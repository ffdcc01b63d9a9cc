// Which vector unit the kernels run on: every vector kernel is compiled for
// each target Highway supports and the best one the processor has is chosen
// at the first call.
#pragma once

namespace prismview {

// The chosen target's name as Highway spells it ("AVX2", "AVX3", "NEON"...).
const char* VectorTargetName();

}  // namespace prismview
