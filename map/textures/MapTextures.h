// The map library's pictures: the earth picture and its tiles, the cloud
// tiles, the settings and detail level they are made for, the texture mutex
// and the two loader threads. One instance per library, kept by the window
// code; no OpenGL calls here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/system/Handles.h"
#include "map/MapSettings.h"
#include "map/textures/DetailLevel.h"
#include "map/textures/GLTexture.h"
#include "map/textures/TileSet.h"

// How long a loader thread waits for the texture mutex.
const DWORD kLoaderMutexWaitMs = 5000;

// The cloud picture's alpha from its brightness: grey g gives (g, g, g) and
// alpha cloudsAlpha x g / 256; colour keeps its bytes and takes green as
// alpha; anything else is returned as it is. Bytes R, G, B, A, first lowest.
uint32_t CloudAlphaFilter(uint32_t packed, int components, int cloudsAlpha);

class CMapTextures {
public:
    // The wait is for tests; the library uses kLoaderMutexWaitMs.
    explicit CMapTextures(DWORD loaderMutexWaitMs = kLoaderMutexWaitMs);
    // Waits for the loader threads. Not from DllMain: a thread's end needs the
    // loader lock there; the library waits in FreeMap instead.
    ~CMapTextures();
    CMapTextures(const CMapTextures&) = delete;
    CMapTextures& operator=(const CMapTextures&) = delete;

    // Guarded by Mutex(). The loader threads touch only `earth` and
    // `earthTiles`; `cloudTiles` belong to the window's thread.
    CGLTexture earth;
    TileSet earthTiles;
    TileSet cloudTiles;
    // Read and changed on the window's thread, before a thread starts.
    MapSettings settings;
    DetailLevel detail;

    // The unnamed texture mutex (not owned at creation); null when it could
    // not be made, and then every wait for it fails.
    HANDLE Mutex() const { return m_mutex.Get(); }
    // The program folder (trailing backslash) holding "map.jpg" and
    // "clouds.jpg"; set before any load.
    void SetFolder(const std::wstring& folder) { m_folder = folder; }
    const std::wstring& Folder() const { return m_folder; }

    // SetDetailFactor of the detail level (the texture size back to the maximum).
    void SetDetailFactor(int factor);
    // The sides the earth picture may have: the texture size shifted by
    // texScalerX and texScalerY.
    int EarthWidthLimit() const;
    int EarthHeightLimit() const;

    // Frees the earth picture and tiles, then reads "map.jpg" within the
    // limits: kTextureLoadFailed, kTextureLoaded or kTextureRescaled.
    int LoadEarthTexture();
    // Scales the earth picture down to the limits where it is larger and cuts
    // it into the earth tiles; true when every tile holds pixels.
    bool SplitEarthTexture();
    // Makes a loaded picture fit: down to the limits, each side a power of
    // two (the largest not above it).
    bool FitEarthTexture(CGLTexture& picture) const;
    // Reads "clouds.jpg" for textures of `size` (shifted as the earth's),
    // gives it alpha (CloudAlphaFilter) and cuts the cloud tiles; true when
    // every tile holds pixels.
    bool LoadCloudTexture(int size);
    // The earth picture and both tile sets; the caller holds the mutex.
    void FreeTextures();

    // Start a loader thread that posts UM_TEXTURELOADED to `window` once,
    // with (0, 1|0) after LoadEarthTexture resp. (1, 1|0) after
    // SplitEarthTexture, and (0|1, 0) when it could not take the mutex within
    // the wait. False, nothing posted, when no thread could start.
    bool StartTextureLoadThread(HWND window);
    bool StartTextureSplitThread(HWND window);
    // Waits up to `ms` for every loader thread started; true when all ended.
    bool WaitForLoaderThreads(DWORD ms);
    // A loader thread is reading resp. cutting the earth picture.
    bool Loading() const { return m_loading != 0; }
    bool Splitting() const { return m_splitting != 0; }

private:
    struct ThreadStart;
    static unsigned __stdcall TextureLoadThread(void* start);
    static unsigned __stdcall TextureSplitThread(void* start);
    // A loader thread's work: `stage` kTextureRead or kTextureSplit under the
    // mutex, then its one message.
    void RunLoaderStep(ThreadStart* start, WPARAM stage, volatile LONG* counter);
    bool StartThread(HWND window, unsigned(__stdcall* body)(void*), volatile LONG* counter);
    bool FitToLimits(CGLTexture& picture, bool powersOfTwo) const;

    CKernelHandle m_mutex;
    DWORD m_loaderMutexWaitMs;
    std::wstring m_folder;
    std::vector<CKernelHandle> m_threads;
    volatile LONG m_loading;
    volatile LONG m_splitting;
};
