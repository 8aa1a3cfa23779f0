// Analogue skins: a bitmap skin with a clock face ("clkface.png" with alpha,
// else "clkface.bmp" keyed by its corner colour) and, below the face in the
// same image, a strip with the hour, minute and second hands.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "graphics/image/Bitmap.h"
#include "graphics/image/PixelBuffer.h"
#include "graphics/skin/Skin.h"

class CMechSkin : public CSkin {
public:
    // `largestFace` limits the face image's width (0: no limit); larger
    // images are shrunk by a whole factor when loaded.
    CMechSkin(const WCHAR* skinsRoot, int largestFace, CVisualStyles* styles = nullptr,
              const SettingsBlock* settings = nullptr);
    ~CMechSkin() override;

    DWORD GetFeatures() override;
    bool Load(const WCHAR* name, int fontWidth, int fontSize, int weight, DWORD styleFlags) override;
    void FillBackground(const RECT* rect, COLORREF color) override;
    COLORREF GetBackColor() override;

    bool HasFace() const { return m_facePixels.IsValid(); }
    // Premultiplied 32-bit face pixels (square), and the hand strip below it
    // (three bands: hour at the top, minute, second at the bottom); the strip
    // is empty when the image had none.
    const CPixelBuffer& GetFacePixels() const { return m_facePixels; }
    const CPixelBuffer& GetHandStrip() const { return m_handStrip; }
    // The face as a 32-bit DIB section (premultiplied alpha).
    CDibSection& GetFaceBitmap() { return m_faceBitmap; }
    // Width of the face image as loaded (after any shrink); 0 without a face.
    int GetFaceWidth() const { return m_facePixels.IsValid() ? m_facePixels.GetWidth() : 0; }
    COLORREF GetFaceBackColor() const { return m_faceBackColor; }
    // Turn of face and hands in degrees (0..359).
    int GetFaceAngle() const { return m_faceAngle; }
    // Offset of the hands' axis from the face centre, in image pixels.
    int GetAxisOffsetX() const { return m_axisOffsetX; }
    int GetAxisOffsetY() const { return m_axisOffsetY; }
    bool Is24Hour() const { return m_face24h; }

protected:
    int32_t m_largestFace;
    COLORREF m_faceBackColor;
    CDibSection m_faceBitmap;
    CPixelBuffer m_handStrip;
    CPixelBuffer m_facePixels;
    int32_t m_faceAngle;
    int32_t m_axisOffsetX;
    int32_t m_axisOffsetY;
    bool m_face24h;

private:
    void ReleaseFace();
    // The face, strip and [clock] keys from the skin folder; false (partly
    // filled) without a usable image.
    bool LoadFace(const WCHAR* folder);
    // The opaque background into the 32-bit target bitmap bound to the DC;
    // false when there is none.
    bool FillTarget(const RECT* rect);
};
