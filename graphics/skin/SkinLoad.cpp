// Loading a skin folder: skin.ini, the font grid and the digit strip, each
// converted once into the layout the drawing code blits from.
#include "graphics/skin/Skin.h"

#include <stdlib.h>
#include <wchar.h>

#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"

namespace {

const int kGridColumns = 16;
const int kGridRows = 14;
const int kStripColumns = 31;
const int kStripRows = 3;
const int kDefaultSkinFontSize = 8;
const int kMaxShadowOffset = 8;
// Cells of "text.bmp", row by row; a blank is an empty cell.
const char kStripGlyphs[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ\"    "
    "0123456789  :()-'!_+\\/[]^&%.=$ "
    "   ?*                          ";
static_assert(sizeof(kStripGlyphs) == kStripColumns * kStripRows + 1, "three rows of 31 cells");
// Digit sources: cells 9 wide, laid out 11 wide with an 8-pixel colon.
const int kSourceDigitWidth = 9;
const int kLaidDigitWidth = 11;
const int kLaidColonWidth = 8;
const UINT kIconMetricsBytes = 108;
// The built-in looks fall back to the same face.
const WCHAR kFallbackFace[] = L"MS Sans Serif";

struct SkinIni {
    WCHAR path[MAX_PATH];

    int Int(const WCHAR* section, const WCHAR* key, int fallback) const
    {
        return (int)GetPrivateProfileIntW(section, key, fallback, path);
    }
    // Text of the key; false when missing or empty.
    bool Text(const WCHAR* section, const WCHAR* key, WCHAR* out, DWORD chars) const
    {
        GetPrivateProfileStringW(section, key, L"", out, chars, path);
        return out[0] != 0;
    }
    // 0xRRGGBB as a COLORREF; `fallback` when missing or not a number.
    COLORREF Color(const WCHAR* section, const WCHAR* key, COLORREF fallback) const
    {
        WCHAR text[32];
        if (!Text(section, key, text, FIELD_WIDTH(text)))
            return fallback;
        WCHAR* end = nullptr;
        unsigned long value = wcstoul(text, &end, 0);
        if (end == text)
            return fallback;
        if (value & 0xFF000000)
            return (COLORREF)value;  // the default marker and friends stay as they are
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
};

bool FolderExists(const WCHAR* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint32_t ReadLe(const BYTE* p, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

bool LoadBitmapFile(CBitmap& bitmap, const WCHAR* folder, const WCHAR* file)
{
    WCHAR path[MAX_PATH];
    return CSkin::FolderFile(path, folder, file) && CSkin::IsCompleteBitmapFile(path) && bitmap.LoadFromFile(path);
}

// A new screen bitmap filled with `color`.
bool CreateFilled(CBitmap& bitmap, int width, int height, COLORREF color)
{
    if (!bitmap.Create(width, height))
        return false;
    RECT all = {0, 0, width, height};
    CGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(bitmap.GetDC(), &all, brush.Get());
    return true;
}

COLORREF TopRight(const CBitmap& bitmap)
{
    return ::GetPixel(bitmap.GetDC(), bitmap.GetWidth() - 1, 0);
}

// "text.bmp" into a 16 x 14 grid of the characters 0x20-0xFF.
bool StripToGrid(const CBitmap& strip, CBitmap& grid)
{
    int w = strip.GetWidth() / kStripColumns, h = strip.GetHeight() / kStripRows;
    if (w <= 0 || h <= 0)
        return false;
    int cellHeight = h + 1;
    if (!CreateFilled(grid, kGridColumns * w, kGridRows * cellHeight, TopRight(strip)))
        return false;
    auto copyCell = [&](int c, int srcX, int srcY, HDC src) {
        int x = (c - 0x20) % kGridColumns * w, y = (c - 0x20) / kGridColumns * cellHeight;
        BitBlt(grid.GetDC(), x, y, w, h, src, srcX, srcY, SRCCOPY);
    };
    for (int i = 0; kStripGlyphs[i]; ++i) {
        unsigned char c = (unsigned char)kStripGlyphs[i];
        if (c != ' ')
            copyCell(c, i % kStripColumns * w, i / kStripColumns * h, strip.GetDC());
    }
    auto gridCell = [&](int c, int* x, int* y) {
        *x = (c - 0x20) % kGridColumns * w;
        *y = (c - 0x20) / kGridColumns * cellHeight;
    };
    int x, y;
    gridCell('.', &x, &y);
    copyCell(',', x, y, grid.GetDC());
    for (int c = 'A'; c <= 'Z'; ++c) {
        gridCell(c, &x, &y);
        copyCell(c - 'A' + 'a', x, y, grid.GetDC());
    }
    return true;
}

}  // namespace

bool CSkin::IsCompleteBitmapFile(const WCHAR* path)
{
    CKernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    // file header (14 bytes) and the start of the info header
    BYTE head[34] = {};
    DWORD got = 0;
    LARGE_INTEGER size = {};
    bool read = ReadFile(file.Get(), head, sizeof(head), &got, nullptr) && GetFileSizeEx(file.Get(), &size);
    file.Reset();
    if (!read || got < 26 || head[0] != 'B' || head[1] != 'M')
        return false;
    uint32_t offset = ReadLe(head + 10, 4), infoSize = ReadLe(head + 14, 4);
    int64_t width, height;
    uint32_t bitCount, compression = BI_RGB;
    if (infoSize == sizeof(BITMAPCOREHEADER)) {
        width = ReadLe(head + 18, 2);
        height = ReadLe(head + 20, 2);
        bitCount = ReadLe(head + 24, 2);
    } else if (infoSize >= sizeof(BITMAPINFOHEADER) && got >= 34) {
        width = (int32_t)ReadLe(head + 18, 4);
        height = (int32_t)ReadLe(head + 22, 4);
        bitCount = ReadLe(head + 28, 2);
        compression = ReadLe(head + 30, 4);
    } else {
        return false;
    }
    if (height < 0)
        height = -height;
    if (width <= 0 || height == 0)
        return false;
    // compressed rows have no fixed size; LoadImageW checks those itself
    if (compression != BI_RGB && compression != BI_BITFIELDS)
        return true;
    int64_t stride = (width * bitCount + 31) / 32 * 4;
    return (int64_t)offset + stride * height <= size.QuadPart;
}

CSkin::CSkin(const WCHAR* skinsRoot, CVisualStyles* styles, const SettingsBlock* settings)
    : CGraphics(styles, settings),
      m_colonWidth(0),
      m_digitWidth(0),
      m_digitHeight(0),
      m_cellWidth(0),
      m_cellHeight(0),
      m_visualStyles(styles),
      m_iconMetrics(&SystemParametersInfoW)
{
    m_skinsRoot[0] = 0;
    if (skinsRoot && wcslen(skinsRoot) < FIELD_WIDTH(m_skinsRoot))
        wcscpy(m_skinsRoot, skinsRoot);
}

CSkin::~CSkin() = default;

void CSkin::ReleaseBitmaps()
{
    m_digits.Destroy();
    m_fontGrid.Destroy();
    m_lightmap.Destroy();
    m_colonWidth = m_digitWidth = m_digitHeight = m_cellWidth = m_cellHeight = 0;
}

bool CSkin::LoadFontGrid(const WCHAR* folder)
{
    if (!LoadBitmapFile(m_fontGrid, folder, L"alphas.bmp")) {
        CBitmap strip;
        if (!LoadBitmapFile(strip, folder, L"text.bmp") || !StripToGrid(strip, m_fontGrid))
            m_fontGrid.Destroy();
    }
    if (m_fontGrid.IsValid()) {
        m_cellWidth = m_fontGrid.GetWidth() / kGridColumns;
        m_cellHeight = m_fontGrid.GetHeight() / kGridRows;
        if (m_cellWidth <= 0 || m_cellHeight <= 0)
            m_fontGrid.Destroy();
    }
    if (!m_fontGrid.IsValid())
        m_cellWidth = m_cellHeight = 0;
    return m_fontGrid.IsValid();
}

bool CSkin::LoadDigitStrip(const WCHAR* folder)
{
    if (LoadBitmapFile(m_digits, folder, L"digits.bmp")) {
        m_digitHeight = m_digits.GetHeight();
        m_digitWidth = m_digits.GetWidth() / 10;
        m_colonWidth = m_digits.GetWidth() % 10;
        if (m_digitWidth > 0)
            return true;
        m_digits.Destroy();
        m_digitWidth = m_colonWidth = m_digitHeight = 0;
        return false;
    }
    CBitmap source;
    if (LoadBitmapFile(source, folder, L"numbers.bmp") || LoadBitmapFile(source, folder, L"nums_ex.bmp")) {
        int height = source.GetHeight();
        if (!CreateFilled(m_digits, 10 * kLaidDigitWidth + kLaidColonWidth, height, TopRight(source)))
            return false;
        for (int d = 0; d < 10; ++d)
            BitBlt(m_digits.GetDC(), kLaidDigitWidth * d, 0, kSourceDigitWidth, height, source.GetDC(),
                   kSourceDigitWidth * d, 0, SRCCOPY);
        if (m_fontGrid.IsValid()) {
            // The colon: the middle columns of the grid's '=' stretched upright.
            CBitmap cell;
            COLORREF key = FontKey();
            if (CreateFilled(cell, m_cellWidth, m_cellHeight, TopRight(m_digits))) {
                int c = '=' - 0x20;
                m_fontGrid.DrawTransparent(cell.GetDC(), 0, 0, m_cellWidth, m_cellHeight,
                                           c % kGridColumns * m_cellWidth, c / kGridColumns * m_cellHeight,
                                           key);
                int from = m_cellWidth / 2 - 1;
                if (from < 0)
                    from = 0;
                StretchBlt(m_digits.GetDC(), 10 * kLaidDigitWidth + 3, 0, 2, height, cell.GetDC(), from, 0, 2,
                           m_cellHeight > 2 ? m_cellHeight - 2 : m_cellHeight, SRCCOPY);
            }
        }
        m_digitHeight = height;
        m_digitWidth = kLaidDigitWidth;
        m_colonWidth = kLaidColonWidth;
        return true;
    }
    if (m_fontGrid.IsValid())
        return CutStripFromGrid();
    return false;
}

// The cells of 0-9 and ':' (grid row 1). Digits are a cell wide and the colon
// one pixel less, whatever the cell width.
bool CSkin::CutStripFromGrid()
{
    int width = 11 * m_cellWidth - 1;
    if (!m_digits.Create(width, m_cellHeight)) {
        ReleaseBitmaps();
        return false;
    }
    BitBlt(m_digits.GetDC(), 0, 0, width, m_cellHeight, m_fontGrid.GetDC(), 0, m_cellHeight, SRCCOPY);
    m_digitHeight = m_cellHeight;
    m_digitWidth = m_cellWidth;
    m_colonWidth = m_cellWidth - 1;
    return true;
}

bool CSkin::FolderFile(WCHAR (&path)[MAX_PATH], const WCHAR* folder, const WCHAR* file)
{
    size_t a = wcslen(folder), b = wcslen(file);
    if (a + b + 1 > MAX_PATH)
        return false;
    wmemcpy(path, folder, a);
    wmemcpy(path + a, file, b + 1);
    return true;
}

bool CSkin::FindFolder(const WCHAR* name, WCHAR (&folder)[MAX_PATH]) const
{
    size_t rootLength = wcslen(m_skinsRoot), nameLength = name ? wcslen(name) : 0;
    if (!m_skinsRoot[0] || !nameLength || rootLength + nameLength + 2 > MAX_PATH)
        return false;
    wcscpy(folder, m_skinsRoot);
    wcscat(folder, name);
    wcscat(folder, L"\\");
    return FolderExists(folder);
}

bool CSkin::Load(const WCHAR* name, int fontWidth, int fontSize, int weight, DWORD styleFlags)
{
    ReleaseBitmaps();
    WCHAR folder[MAX_PATH];
    if (!FindFolder(name, folder))
        return CGraphics::Load(name ? name : L"", fontWidth, fontSize == 0 ? kDefaultSkinFontSize : fontSize,
                               weight, styleFlags);

    SkinIni ini;
    if (!FolderFile(ini.path, folder, L"skin.ini"))
        ini.path[0] = 0;
    WCHAR face[100];
    ini.Text(L"font", L"face", face, FIELD_WIDTH(face));
    if (face[0] && wcslen(face) >= LF_FACESIZE)
        face[LF_FACESIZE - 1] = 0;

    LoadFontGrid(folder);

    if (ini.Int(L"border", L"enabled", 0))
        m_borderStyle = (m_visualStyles && m_visualStyles->Active()) ? kBorderRounded : kBorderRectangle;
    else
        m_borderStyle = kBorderNone;
    m_borderColor = ini.Color(L"border", L"color", kDefaultColor);
    WCHAR align[16];
    if (ini.Text(L"font", L"align", align, FIELD_WIDTH(align))) {
        if (lstrcmpiW(align, L"center") == 0)
            m_centered = true;
        else if (lstrcmpiW(align, L"right") == 0)
            m_centered = false;
    }

    bool loaded = true;
    int size = 0;
    if (face[0]) {
        size = ini.Int(L"font", L"size", 0);
        if (size == 0) {
            size = kDefaultSkinFontSize;
            fontWidth = 0;
        } else {
            fontWidth = ini.Int(L"font", L"width", 0);
        }
        styleFlags = (DWORD)ini.Int(L"font", L"style", (int)styleFlags);
        weight = ini.Int(L"font", L"weight", weight);
    } else if (!m_fontGrid.IsValid()) {
        ICONMETRICSW metrics = {};
        metrics.cbSize = kIconMetricsBytes;
        if (m_iconMetrics && m_iconMetrics(SPI_GETICONMETRICS, kIconMetricsBytes, &metrics, 0)) {
            lstrcpynW(face, metrics.lfFont.lfFaceName, LF_FACESIZE);
            weight = metrics.lfFont.lfWeight;
            if (metrics.lfFont.lfItalic)
                styleFlags |= 1;
            size = fontSize ? fontSize : metrics.lfFont.lfHeight;
        } else {
            lstrcpyW(face, kFallbackFace);
            size = fontSize ? fontSize : kDefaultSkinFontSize;
        }
    }
    if (size != 0) {
        BorderStyle border = GetBorderStyle();
        bool centered = m_centered;
        loaded = CGraphics::Load(face, fontWidth, size, weight, styleFlags);
        m_borderStyle = border;
        m_centered = centered;
        m_textColor = ini.Color(L"font", L"color", m_textColor);
        int offset = ini.Int(L"shadow", L"offset", 0);
        if (offset > kMaxShadowOffset || offset < -kMaxShadowOffset)
            offset = 0;
        SetShadow(ini.Color(L"shadow", L"color", kNoColor), offset);
    } else {
        m_kind = kKindOther;
    }

    LoadDigitStrip(folder);
    if (size != 0) {
        m_fontGrid.Destroy();
        m_cellWidth = m_cellHeight = 0;
    }
    LoadBitmapFile(m_lightmap, folder, L"lightmap.bmp");
    lstrcpynW(m_name, name, FIELD_WIDTH(m_name));
    return loaded;
}
