// The span shaders in AVX2's 32-byte lanes, sixteen pixels a group. Only this
// unit is compiled for AVX2 (src/platform/CMakeLists.txt), and its loops are
// only chosen on processors that have it. All of its shader code is
// instantiated for the 32-byte lanes, so none of it is shared with the
// baseline. Builds for other processors (ARM, the web) get no wide loops.
// sprite_bench's BmRasterSunVector/16 and /32 time the sun's quad in both widths.
#include "platform/rasterizer_shaders.h"

namespace raster {

#ifdef __AVX2__
SpanFunction WideSpanFunction(PixelFormat Format, bool Blend) {
    return SpanFunctionIn<Lanes<32>>(Format, Blend);
}
#else
SpanFunction WideSpanFunction(PixelFormat /*Format*/, bool /*Blend*/) {
    return nullptr;
}
#endif

} // namespace raster
