// A second copy of the pixel operations in their own namespace; imagebench.cmake
// compiles this file with -fno-tree-vectorize. The headers come first so the
// library source's own includes are no-ops inside the namespace.
#include <emmintrin.h>
#include <math.h>
#include <stdint.h>

#include "graphics/image/PixelOps.h"
#include "tests/bench/PixelScalar.h"

namespace scalar {
#include "graphics/image/PixelOps.cpp"
}  // namespace scalar
