#include "map/textures/DetailLevel.h"

namespace {

// Indexed by factor / 100: finer spheres below 300 %, coarser above.
const int kSlices[] = {180, 180, 180, 120, 120, 60, 60, 36, 36};
const int kStacks[] = {120, 120, 90, 90, 60, 60, 30, 30, 30};
// Atmosphere shells of 1000 / factor up to this factor, one above.
const int kLayeredUpTo = 200;
const double kSlowFramesPerSecond = 10;

int ClampFactor(int factor)
{
    return factor < kMinDetailFactor ? kMinDetailFactor : factor > kMaxDetailFactor ? kMaxDetailFactor : factor;
}

}  // namespace

void SetDetailFactor(DetailLevel& level, int factor)
{
    level.factor = ClampFactor(factor);
    level.slices = kSlices[level.factor / 100];
    level.stacks = kStacks[level.factor / 100];
    level.layers = level.factor <= kLayeredUpTo ? 1000 / level.factor : 1;
    level.textureSize = level.maxTextureSize;
}

bool StepDetailFactor(int factor, bool coarser, int* next)
{
    *next = ClampFactor(coarser ? factor * 2 : factor / 2);
    return *next != factor;
}

void RestartFrameRateTest(FrameRateTest& test, int factor)
{
    test.sum = 0;
    test.counter = factor < kMaxDetailFactor ? -1 : FrameRateTest::kFinished;
}

DetailAction AdaptDetailFactor(FrameRateTest& test, int factor, double frameMs, bool textureBusy, int* next)
{
    if (textureBusy)
        test.counter = FrameRateTest::kFinished;
    if (!test.Running())
        return DetailAction::None;
    if (test.counter < 0) {
        // the frame after an upload or a rebuild pays for it
        test.counter = 0;
        return DetailAction::Paint;
    }
    if (frameMs > 0) {
        test.sum += 1000.0 / frameMs;
        ++test.counter;
    }
    if (test.counter < FrameRateTest::kFrames)
        return DetailAction::Paint;
    if (test.sum / FrameRateTest::kFrames >= kSlowFramesPerSecond)
        return DetailAction::None;
    return StepDetailFactor(factor, true, next) ? DetailAction::Reload : DetailAction::None;
}
