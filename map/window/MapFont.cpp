#include "map/window/MapFont.h"

#include "graphics/text/Fonts.h"

namespace {

const int kFontHeight = -8;
const int kFontLists = 256;

}  // namespace

BYTE ChooseMapFont(HDC dc)
{
    BYTE charset = CharsetForCodePage(GetACP());
    if (charset == 0)
        charset = (BYTE)GetTextCharset(dc);
    return charset;
}

CGLFontLists::~CGLFontLists()
{
    // the lists went with the context; only the DC's font is left to restore
    if (m_oldFont && m_dc)
        SelectObject(m_dc, m_oldFont);
}

bool CGLFontLists::Create(HDC dc)
{
    m_dc = dc;
    m_font.Reset(CreateFontW(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ChooseMapFont(dc),
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                             L"MS Sans Serif"));
    if (m_font.Get())
        m_oldFont = SelectObject(dc, m_font.Get());
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc, &metrics)) {
        m_height = metrics.tmHeight;
        m_descent = metrics.tmDescent;
    }
    m_lists = glGenLists(kFontLists);
    // the A form: the labels are in the ANSI code page
    if (m_lists && !wglUseFontBitmapsA(dc, 0, kFontLists, m_lists)) {
        glDeleteLists(m_lists, kFontLists);
        m_lists = 0;
    }
    return m_lists != 0;
}

void CGLFontLists::Release()
{
    if (m_lists)
        glDeleteLists(m_lists, kFontLists);
    m_lists = 0;
    if (m_oldFont && m_dc)
        SelectObject(m_dc, m_oldFont);
    m_oldFont = nullptr;
    m_font.Reset();
}

void CGLFontLists::Draw(int x, int y, const std::string& text) const
{
    if (!m_lists || text.empty())
        return;
    glListBase(m_lists);
    // Wine's lists give the space no advance: every word starts where GDI
    // puts it
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start) {
            glRasterPos2i(x + (start ? Width(text.substr(0, start)) : 0), y);
            glCallLists((GLsizei)(end - start), GL_UNSIGNED_BYTE, text.data() + start);
        }
        start = end + 1;
    }
}

int CGLFontLists::Width(const std::string& text) const
{
    SIZE size = {};
    if (text.empty() || !GetTextExtentPoint32A(m_dc, text.data(), (int)text.size(), &size))
        return 0;
    return size.cx;
}

std::string ToAnsi(const WCHAR* text, int maxBytes)
{
    int n = text ? WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr) : 0;
    if (n <= 1)
        return std::string();
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    // a buffer of maxBytes with its terminator
    if ((int)out.size() >= maxBytes)
        out.resize(maxBytes - 1);
    return out;
}
