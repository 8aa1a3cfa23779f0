// GDI bitmaps held in their own memory DC. Pixels are 0xAARRGGBB; pixel rows
// and columns count from the bottom-left pixel. DC operations (Draw,
// DrawTransparent) take the DC's own coordinates, top-down.
#pragma once

#include <stdint.h>
#include <windows.h>

// A memory DC compatible with the screen; null on failure. The caller deletes it.
HDC CreateScreenCompatibleDC();

// Owns a memory DC and the bitmap selected into it; valid while the DC exists.
class CBitmap {
public:
    CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // With planes and bitCount both 0 a bitmap compatible with the screen,
    // else CreateBitmap with them. Releases what was held first; on failure
    // (also for a width or height of 0 or less) the object is left empty.
    virtual bool Create(int width, int height, UINT planes = 0, UINT bitCount = 0);
    virtual void Destroy();
    virtual ~CBitmap();

    // Takes ownership of `bitmap`, also when it fails (it is then deleted).
    bool Attach(HBITMAP bitmap);
    // LoadImageW with LR_LOADFROMFILE and the extra `flags`.
    bool LoadFromFile(const WCHAR* path, UINT flags = 0);
    bool IsValid() const { return m_dc != nullptr; }

    // StretchBlt 1:1 of width x height pixels at (srcX, srcY) to (x, y) of `dc`.
    bool Draw(HDC dc, int x, int y, int width, int height, int srcX, int srcY, DWORD rop = SRCCOPY) const;

    // Pixel at column x, row y from the bottom. Reads a 32-bit DIB directly
    // inside it; elsewhere GDI's colour with alpha 0xFF (0xFFFFFFFF outside).
    // After GDI drawing into a DIB section call GdiFlush before reading.
    uint32_t GetPixel(int x, int y) const;
    // False outside the bitmap; without 32-bit DIB bits, also for values
    // with an alpha byte (GDI keeps RGB only).
    bool SetPixel(int x, int y, uint32_t value);

    // 32-bit DIBs only: sets the alpha byte over the rectangle clipped to the
    // bitmap (x, y from the bottom-left). False when nothing was set.
    bool SetAlphaRect(int x, int y, int width, int height, BYTE alpha);
    // 32-bit DIBs only: alpha `keyAlpha` where the RGB equals the key's RGB,
    // 255 elsewhere; with `premultiply` the RGB bytes are scaled by the alpha.
    bool ApplyColorKey(uint32_t key, bool premultiply, BYTE keyAlpha);

    HDC GetDC() const { return m_dc; }
    HBITMAP GetHandle() const { return m_bitmap; }
    // The DIB bits, rows bottom-up; null unless this is a DIB section.
    uint32_t* GetBits() const { return m_bits; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetBitCount() const { return m_bitCount; }

protected:
    bool Is32BitDib() const { return m_bits && m_bitCount == 32; }
    // Fresh memory DC for a new bitmap; false (nothing held) on failure.
    bool BeginCreate();
    // Selects `bitmap` (owned from now on) and records its format, or
    // releases everything and returns false when `bitmap` is null.
    bool FinishCreate(HBITMAP bitmap, uint32_t* bits, int width, int height, int bitCount);

private:
    // FinishCreate with the format read from `bitmap` (owned from now on).
    bool TakeBitmap(HBITMAP bitmap);

    friend class CUnselectedBitmap;

    HGDIOBJ m_oldObject;
    uint32_t* m_bits;
    HDC m_dc;
    HBITMAP m_bitmap;
    int32_t m_width;
    int32_t m_height;
    WORD m_bitCount;
};

// Selects the bitmap out of its DC while the object lives: GetDIBits and
// SetDIBits want a bitmap that no DC holds.
class CUnselectedBitmap {
public:
    explicit CUnselectedBitmap(const CBitmap& bitmap);
    ~CUnselectedBitmap();
    CUnselectedBitmap(const CUnselectedBitmap&) = delete;
    CUnselectedBitmap& operator=(const CUnselectedBitmap&) = delete;

private:
    const CBitmap& m_bitmap;
};

// A 32-bit bottom-up DIB section with direct access to its pixels.
class CDibSection : public CBitmap {
public:
    // Always 32 bits per pixel; `planes` and `bitCount` are ignored.
    bool Create(int width, int height, UINT planes = 0, UINT bitCount = 0) override;
};

// A bitmap drawn with one colour left transparent, through a monochrome mask.
class CTranspBitmap : public CBitmap {
public:
    ~CTranspBitmap() override;
    void Destroy() override;

    // Draws like Draw, leaving the destination where the bitmap has `key`.
    // The mask is made on the first such draw and kept while the key stays:
    // after changing the pixels of a bitmap once drawn so, call ForgetMask.
    bool DrawTransparent(HDC dc, int x, int y, int width, int height, int srcX, int srcY, COLORREF key);
    void ForgetMask() { m_mask.Destroy(); }

private:
    CBitmap m_mask;
    COLORREF m_maskKey = 0;
};
