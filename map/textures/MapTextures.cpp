#include "map/textures/MapTextures.h"

#include <process.h>

#include <algorithm>
#include <memory>
#include <new>

#include "map/MapProtocol.h"

namespace {

const WCHAR kEarthFile[] = L"map.jpg";
const WCHAR kCloudFile[] = L"clouds.jpg";

uint32_t CloudMapper(uint32_t packed, int components, const void* cloudsAlpha)
{
    return CloudAlphaFilter(packed, components, *(const int*)cloudsAlpha);
}

}  // namespace

uint32_t CloudAlphaFilter(uint32_t packed, int components, int cloudsAlpha)
{
    if (components == 1) {
        uint32_t grey = packed & 0xFF;
        return grey * 0x010101u | (uint32_t)(cloudsAlpha * (int)grey / 256) << 24;
    }
    if (components == 3)
        return (packed & 0xFFFFFFu) | (packed & 0xFF00u) << 16;
    return packed;
}

struct CMapTextures::ThreadStart {
    CMapTextures* self;
    HWND window;
};

CMapTextures::CMapTextures(DWORD loaderMutexWaitMs)
    : m_mutex(CreateMutexW(nullptr, FALSE, nullptr)), m_loaderMutexWaitMs(loaderMutexWaitMs), m_loading(0),
      m_splitting(0)
{
}

CMapTextures::~CMapTextures()
{
    WaitForLoaderThreads(INFINITE);
}

void CMapTextures::SetDetailFactor(int factor)
{
    ::SetDetailFactor(detail, factor);
}

int CMapTextures::EarthWidthLimit() const
{
    return ShiftTextureSize(detail.textureSize, settings.texScalerX);
}

int CMapTextures::EarthHeightLimit() const
{
    return ShiftTextureSize(detail.textureSize, settings.texScalerY);
}

int CMapTextures::LoadEarthTexture()
{
    earth.Free(true);
    earthTiles.Free();
    return earth.Load((m_folder + kEarthFile).c_str(), EarthWidthLimit(), EarthHeightLimit());
}

bool CMapTextures::FitToLimits(CGLTexture& picture, bool powersOfTwo) const
{
    int widthLimit = std::max(EarthWidthLimit(), 1), heightLimit = std::max(EarthHeightLimit(), 1);
    uint32_t width = std::min(picture.GetWidth(), (uint32_t)widthLimit);
    uint32_t height = std::min(picture.GetHeight(), (uint32_t)heightLimit);
    if (powersOfTwo) {
        width = FloorPowerOfTwo(width);
        height = FloorPowerOfTwo(height);
    }
    return picture.Rescale(width, height);
}

bool CMapTextures::SplitEarthTexture()
{
    return earth.GetPixels() && FitToLimits(earth, false) && earth.SplitTiles(earthTiles, kTileColumns, kTileRows) &&
           earthTiles.Ready();
}

bool CMapTextures::FitEarthTexture(CGLTexture& picture) const
{
    return picture.GetPixels() && FitToLimits(picture, true);
}

bool CMapTextures::LoadCloudTexture(int size)
{
    cloudTiles.Free();
    CGLTexture clouds;
    int alpha = settings.cloudsAlpha;
    return clouds.Load((m_folder + kCloudFile).c_str(), ShiftTextureSize(size, settings.texScalerX),
                       ShiftTextureSize(size, settings.texScalerY)) &&
           clouds.ConvertPixels(CloudMapper, &alpha) && clouds.SplitTiles(cloudTiles, kTileColumns, kTileRows) &&
           cloudTiles.Ready();
}

void CMapTextures::FreeTextures()
{
    earth.Free(true);
    earthTiles.Free();
    cloudTiles.Free();
}

// Each thread posts exactly one message, also when it could not take the
// mutex or ran out of memory: the window must never wait for a silent one.
void CMapTextures::RunLoaderStep(ThreadStart* p, WPARAM stage, volatile LONG* counter)
{
    std::unique_ptr<ThreadStart> start(p);
    LPARAM done = 0;
    DWORD wait = WaitForSingleObject(Mutex(), m_loaderMutexWaitMs);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
        try {
            done = stage == kTextureRead ? LoadEarthTexture() != kTextureLoadFailed : SplitEarthTexture();
        } catch (...) {
            if (stage == kTextureRead)
                earth.Free(true);
            else
                earthTiles.Free();
        }
        ReleaseMutex(Mutex());
    }
    InterlockedDecrement(counter);
    PostMessageW(start->window, UM_TEXTURELOADED, stage, done);
}

unsigned __stdcall CMapTextures::TextureLoadThread(void* p)
{
    CMapTextures& self = *((ThreadStart*)p)->self;
    self.RunLoaderStep((ThreadStart*)p, kTextureRead, &self.m_loading);
    return 0;
}

unsigned __stdcall CMapTextures::TextureSplitThread(void* p)
{
    CMapTextures& self = *((ThreadStart*)p)->self;
    self.RunLoaderStep((ThreadStart*)p, kTextureSplit, &self.m_splitting);
    return 0;
}

bool CMapTextures::StartTextureLoadThread(HWND window)
{
    return StartThread(window, TextureLoadThread, &m_loading);
}

bool CMapTextures::StartTextureSplitThread(HWND window)
{
    return StartThread(window, TextureSplitThread, &m_splitting);
}

bool CMapTextures::StartThread(HWND window, unsigned(__stdcall* body)(void*), volatile LONG* counter)
{
    auto ended = [](const CKernelHandle& h) { return WaitForSingleObject(h.Get(), 0) == WAIT_OBJECT_0; };
    m_threads.erase(std::remove_if(m_threads.begin(), m_threads.end(), ended), m_threads.end());
    std::unique_ptr<ThreadStart> start(new (std::nothrow) ThreadStart{this, window});
    if (!start)
        return false;
    try {
        m_threads.reserve(m_threads.size() + 1);
    } catch (...) {
        return false;
    }
    // counted before the start, so that the window shows it at once
    InterlockedIncrement(counter);
    // _beginthreadex, not _beginthread: the handle stays ours to wait on
    uintptr_t thread = _beginthreadex(nullptr, 0, body, start.get(), 0, nullptr);
    if (!thread) {
        InterlockedDecrement(counter);
        return false;
    }
    start.release();
    m_threads.emplace_back((HANDLE)thread);
    return true;
}

bool CMapTextures::WaitForLoaderThreads(DWORD ms)
{
    DWORD begin = GetTickCount();
    for (const CKernelHandle& thread : m_threads) {
        DWORD elapsed = GetTickCount() - begin;
        DWORD left = ms == INFINITE ? INFINITE : elapsed < ms ? ms - elapsed : 0;
        if (WaitForSingleObject(thread.Get(), left) != WAIT_OBJECT_0)
            return false;
    }
    m_threads.clear();
    return true;
}
