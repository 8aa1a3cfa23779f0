// The clocks a host shows: a configured clock (ClockRecord) seen through one
// drawing style. CClock is the digital clock, CTimer the countdown and
// stopwatch with its button, CMechClock the analogue face with turning hands.
// Hosts measure a clock after creating it and after settings or font
// changes, call Update once a second (timers on every tick) and repaint by
// its result. GUI thread only.
#pragma once

#include <stdint.h>
#include <windows.h>
#include <uxtheme.h>

#include "graphics/image/Bitmap.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/time/ZoneTime.h"

class CGraphics;
class CMechSkin;
class CUnitNames;
class ILanguageStrings;

// What the clocks of one host share; everything outlives the clocks.
struct ClockContext {
    const ILanguageStrings* language;           // time and date texts
    const CUnitNames* unitNames;                // timer texts
    WeekRules weekRules;
    const LocalZoneState* localZone;            // null: no local-zone highlight
    const ClockProfileRecord* localHighlight;   // "localzonehighlight"; null: none
    const uint32_t* shadeTable;                 // 256 shades of the tint; null: no shading
    // The process-wide timer button (monochrome), loaded on first use from
    // bitmap kTimerButtonBitmapId of `resources`; null: timers have no image.
    CBitmap* timerButton;
    HMODULE resources;
};

const UINT kTimerButtonBitmapId = 209;

// Results of Update
const int kClockUnchanged = 0;
const int kClockRepaint = 1;
const int kClockRelayout = 2;

// Active profile indexes
const int kNoProfile = -1;
const int kLocalZoneProfile = -100;

// Layout modes
const int kLayoutAuto = 0;
const int kLayoutTwoLines = 1;
const int kLayoutOneLine = 2;

// Whether the profile applies to the clock now: timers by their value
// against the profile's limits, time clocks by the local time's weekday and
// minute of the day (windows with start >= end run over midnight).
bool IsProfileActive(const ClockRecord& clock, const ClockProfileRecord& profile);
// kLocalZoneProfile for a time clock of the computer's zone whose local
// profile is active; else `preferred` when it is >= 0 (kNoProfile past the
// profile count); else the first active profile when profiles are on.
int FindActiveProfile(const ClockRecord& clock, int preferred, const LocalZoneState* localZone,
                      const ClockProfileRecord* localProfile);

// Hand angles in degrees (clockwise, 0 = the hand as drawn in the strip),
// for a face turned by `faceAngle`; 24-hour faces turn the hour hand once a day.
struct HandAngles {
    int hour;
    int minute;
    int second;
};
HandAngles GetHandAngles(const SYSTEMTIME& time, int faceAngle, bool face24h);

// Face sizes of analogue clocks, ascending.
const int kFaceSizeCount = 20;
extern const int kFaceSizes[kFaceSizeCount];

// A fixed-width record field as a terminated text of at most `chars` - 1 characters.
void CopyFieldText(WCHAR* out, int chars, const WCHAR* field, int width);

// The rectangle lives in the record's field the main program leaves zero.
RECT GetClockRect(const ClockRecord& clock);
void SetClockRect(ClockRecord& clock, const RECT& rect);

class CClock {
public:
    // Takes a reference on `style`; `record` is copied.
    CClock(const ClockRecord& record, CGraphics* style, const ClockContext& context);
    // Hosts delete mixed clock kinds through this type.
    virtual ~CClock();
    CClock(const CClock&) = delete;
    CClock& operator=(const CClock&) = delete;

    // Flags: kDrawBackground, kDrawText; into the style's bound DC.
    virtual void Draw(DWORD flags);
    // The highlight shape of the active profile at (0, 0) into the bound DC.
    virtual void DrawHighlight();
    virtual void Paint(HDC dc, HTHEME theme);
    // Sets the rectangle to (0, 0, width, height) for the largest size
    // offered; `sample` null measures the current local time.
    virtual void Measure(HDC dc, int largestWidth, int largestHeight, HTHEME theme, const SYSTEMTIME* sample);
    virtual RECT GetRect() const;
    virtual void SetRect(const RECT& rect);
    // One step bigger or smaller; false when refused.
    virtual bool ChangeFontSize(HDC dc, bool bigger);
    // kClockUnchanged, kClockRepaint or kClockRelayout.
    virtual int Update(const SYSTEMTIME& utc);
    virtual CGraphics* GetSkin() const { return m_style; }
    virtual int GetFaceSize() const { return 0; }
    virtual void SetFontSize(int size) { m_fontSize = size; }
    virtual bool UsesFontText() const;
    virtual bool ShowsSeconds() const;
    // Client point in the host's coordinates.
    virtual bool HitButton(POINT point) const;

    // The widest time and date the clock may show (year 2088).
    void BuildSampleTime(SYSTEMTIME* sample);

    static const DWORD kDrawBackground = 1;
    static const DWORD kDrawText = 2;
    static const int kVerticalMargin = 2;
    static const int kHorizontalMargin = 4;

    ClockRecord& Record() { return m_record; }
    const ClockRecord& Record() const { return m_record; }
    int GetActiveProfile() const { return m_activeProfile; }
    // -1 searches; else that profile is shown.
    void SetPreferredProfile(int index) { m_preferredProfile = index; }
    int GetFontSize() const { return m_fontSize; }
    // The style's nominal size, which the clock's own size starts from (0 without a style).
    int GetSkinFontSize() const;
    int GetLayoutMode() const { return m_layoutMode; }
    void SetLayoutMode(int mode) { m_layoutMode = mode; }
    // Padding around the texts or the face, in pixels.
    void SetMargins(int vertical, int horizontal)
    {
        m_verticalMargin = vertical;
        m_horizontalMargin = horizontal;
    }
    bool IsCentered() const { return m_centered; }
    void SetCentered(bool centered) { m_centered = centered; }
    // The active profile's record (null when none).
    const ClockProfileRecord* ActiveProfile() const;
    void RefreshProfile();

protected:
    // Binds DC and theme; the font height follows the clock's size until
    // RestoreFont.
    void BindStyle(HDC dc, HTHEME theme);
    void ApplyFont();
    void RestoreFont();
    // Shared by Paint of the digital clocks and the timer.
    void PaintTinted(HDC dc, HTHEME theme);
    // The background (kDrawBackground); with kDrawText also the font and the
    // frame, then true: the caller draws the text and restores the font.
    bool BeginDraw(const RECT& rect, DWORD flags);
    // Draw with the rectangle moved to `rect` (the off-screen bitmap).
    virtual void DrawAt(const RECT& rect, DWORD flags);
    bool StepFontSize(bool bigger);
    SIZE Extent(const WCHAR* text, int length = -1);

    ClockRecord m_record;
    int32_t m_activeProfile;
    int32_t m_preferredProfile;
    CGraphics* m_style;
    int32_t m_fontSize;
    int32_t m_layoutMode;
    int32_t m_verticalMargin;
    int32_t m_horizontalMargin;
    bool m_centered;
    bool m_verticallyCentered;
    bool m_spare;
    ClockContext m_context;
    LONG m_savedFontHeight;
    bool m_fontApplied;

private:
    struct Texts;
    void FormatTexts(const SYSTEMTIME& time, Texts* texts);
    bool UseTwoLines(const Texts& texts, int width, int height, int* lineHeight, int* twoLineHeight);
};

class CTimer : public CClock {
public:
    CTimer(const ClockRecord& record, CGraphics* style, const ClockContext& context);
    ~CTimer() override;

    void Measure(HDC dc, int largestWidth, int largestHeight, HTHEME theme, const SYSTEMTIME* sample) override;
    int Update(const SYSTEMTIME& utc) override;
    bool ShowsSeconds() const override;
    bool HitButton(POINT point) const override;

    // Size of the button box (the image's, or the default without one).
    SIZE ButtonSize() const;
    bool HasButtonImage() const { return m_button.IsValid(); }

    static const int kDefaultButtonSize = 13;

protected:
    void DrawAt(const RECT& rect, DWORD flags) override;

private:
    void MakeButton();
    // Prefix, blank and timer text into `text` (256 characters).
    void BuildText(WCHAR* text);
    bool UseTwoLines(const WCHAR* text, int width, int height, SIZE* lines);
    RECT ButtonBox(const RECT& rect) const;

    CTranspBitmap m_button;
    CBitmap m_spare;
};

class CMechClock : public CClock {
public:
    // `skin` (reference taken, as the style) may be without a face: the
    // clock then behaves as a digital one.
    CMechClock(const ClockRecord& record, CMechSkin* skin, const ClockContext& context);
    ~CMechClock() override;

    void Paint(HDC dc, HTHEME theme) override;
    void Measure(HDC dc, int largestWidth, int largestHeight, HTHEME theme, const SYSTEMTIME* sample) override;
    bool ChangeFontSize(HDC dc, bool bigger) override;
    int Update(const SYSTEMTIME& utc) override;
    int GetFaceSize() const override;
    bool ShowsSeconds() const override;

    // Chooses face size and layout for the largest size (with `fit` from the
    // largest table size down, else the current size only) and sets the
    // rectangle. Uses the bound DC for the caption.
    void LayoutFace(int largestWidth, int largestHeight, bool fit);
    // Face size `size` (kept within the table's smallest size and the face
    // image), the caption's font along with it, and the layout at that size.
    void ApplyFaceSize(HDC dc, int size);

    // Caption layouts
    static const int kCaptionOver = 0;
    static const int kCaptionLowerLeft = 1;
    static const int kCaptionBelow = 2;
    static const int kCaptionBeside = 3;

    int GetFaceLayout() const { return m_faceLayout; }
    void SetFaceSize(int size) { m_faceSize = size; }
    bool IsOverlay() const { return m_overlay; }
    void SetOverlay(bool overlay) { m_overlay = overlay; }
    // The rendered face (premultiplied), face size square; empty before Update.
    const CDibSection& FaceBitmap() const { return m_face; }

private:
    bool HasFace() const;
    void BuildCaption(WCHAR* caption, int chars);
    SIZE CaptionSize();
    void RenderFace();

    // What a rendered face shows: hand angles (second 0 without its hand),
    // size, the look bits of the flags and the tint (colour ~0: none).
    struct FaceState {
        uint32_t hour, minute, second, size, flags, tintColor, tintWeight;
    };
    FaceState CurrentFaceState() const;

    CMechSkin* m_skin;
    CDibSection m_face;
    int32_t m_faceSize;
    int32_t m_faceLayout;
    bool m_overlay;
    FaceState m_rendered;
};
