// How finely the globe is built: the detail factor in percent (50..800,
// higher is coarser) and what it gives. No Win32 here.
#pragma once

const int kMinDetailFactor = 50;
const int kMaxDetailFactor = 800;
const int kDefaultDetailFactor = 100;

struct DetailLevel {
    int factor = kDefaultDetailFactor;
    int slices = 180;
    int stacks = 120;
    int layers = 10;        // atmosphere shells
    // Texture sides in pixels: the hardware's limit (GL_MAX_TEXTURE_SIZE,
    // 128 until it is known) and the one the textures are made for.
    int maxTextureSize = 128;
    int textureSize = 128;
};

// Clamps `factor` to 50..800 and sets the slices, stacks and layers it gives;
// the texture size goes back to the maximum.
void SetDetailFactor(DetailLevel& level, int factor);

// Halves (`coarser` false, key H) or doubles (key L) `factor` within 50..800
// into `next`; true when that changed it.
bool StepDetailFactor(int factor, bool coarser, int* next);

// The frame-rate test that coarsens the globe on slow machines: after a
// texture upload it measures three frames (the first one after the restart is
// skipped) and doubles the factor while they average below 10 per second.
struct FrameRateTest {
    int counter = kFinished;    // -1 skip the next frame, 0..2 frames measured
    double sum = 0;             // frames per second of the measured frames
    static const int kFrames = 3;
    static const int kFinished = kFrames;

    bool Running() const { return counter < kFinished; }
};

// Restarts the test unless `factor` is already the coarsest.
void RestartFrameRateTest(FrameRateTest& test, int factor);

enum class DetailAction {
    None,       // the test is over or not running
    Paint,      // paint again at once to measure another frame
    Reload,     // rebuild with the new factor (ReloadTextures)
};

// After every paint: `frameMs` the paint's time, `textureBusy` while a loader
// thread reads or splits a texture (the test then ends). For Reload the new
// factor goes to `next`.
DetailAction AdaptDetailFactor(FrameRateTest& test, int factor, double frameMs, bool textureBusy, int* next);
