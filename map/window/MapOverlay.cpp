// The map window's 2-D layer over the globe: city labels, credit lines,
// read-outs and the button pad with its hint.
#include "map/window/MapWindow.h"

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "graphics/protocol/WebSites.h"
#include "graphics/records/CityRecord.h"
#include "graphics/text/TimeFormat.h"
#include "graphics/time/ZoneConvert.h"
#include "map/MapLibrary.h"
#include "map/scene/2DButton.h"
#include "map/scene/Planet.h"

namespace {

const int kMaxLabels = 64;
const int kLabelNameBytes = 80;
// Labels start this far right of the probe; margins of the texts.
const int kLabelGap = 7;
const int kBoxPadding = 4;
const int kMargin = 4;
// The local string shown beside the strip's Insert button.
const int32_t kInsertHintString = 2;
// Frames faster than this show no figure.
const double kFpsShown = 1000.0;

struct Credit {
    const char* text;
    const WCHAR* address;
};
const Credit kCredits[] = {
    {"Terrain imagery by NASA's Earth Observatory", L"https://earthobservatory.nasa.gov/"},
    {"Clouds map by Xplanet project", L"https://xplanet.sourceforge.net/"},
    {"City data from GeoNames", kCityDataSourceSite},
    {"City photos from Kestrin Places", kCityPhotoSite},
};
const int kCreditCount = sizeof(kCredits) / sizeof(kCredits[0]);

struct Label {
    const CityRecord* city;
    std::string name, time;
};

// Nearer cities first.
bool CompareCityDepth(const Label& a, const Label& b)
{
    return a.city->labelPosition[2] < b.city->labelPosition[2];
}

void FillRect(float x0, float y0, float x1, float y1, float r, float g, float b, float a)
{
    glColor4f(r, g, b, a);
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

}  // namespace

void CMapWindow::DrawOverlay()
{
    int width = m_scene.GetWidth(), height = m_scene.GetHeight();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);

    DrawCityLabels();
    DrawCredits();
    DrawReadouts();
    m_strip->DrawPhotoPanel(width, height);
    DrawButtonHint();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void CMapWindow::DrawCityLabels()
{
    m_labelsDrawn = 0;
    double probe[3];
    if (m_labelCities.empty() || !m_scene.Project(m_probe, probe) || probe[2] > m_globe.limbDepth)
        return;
    // the projection is the scene's; the planet adds no transform of its own
    std::vector<Label> labels;
    labels.reserve(m_labelCities.size());
    CityRecord* cities = m_library.Cities();
    for (int index : m_labelCities) {
        CityRecord& city = cities[index];
        double window[3];
        if (!m_scene.Project(city.mapPosition, window))
            continue;
        city.labelPosition[0] = window[0];
        city.labelPosition[1] = window[1];
        city.labelPosition[2] = window[2];
        city.labelPosition[3] = 1;
        // behind the limb: the globe hides it
        if (window[2] > m_globe.limbDepth)
            continue;
        labels.push_back({&city, std::string(), std::string()});
    }
    if (labels.empty())
        return;
    std::stable_sort(labels.begin(), labels.end(), CompareCityDepth);
    if (labels.size() > (size_t)kMaxLabels)
        labels.resize(kMaxLabels);

    SYSTEMTIME utc;
    GetSystemTime(&utc);
    int nameWidth = 0, timeWidth = 0, nearest = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        Label& label = labels[i];
        if (label.city->isNearest)
            nearest = (int)i;
        label.name = ToAnsi(label.city->cityName, kLabelNameBytes);
        if (const TimeZoneRecord* zone = label.city->zoneRecord.ptr) {
            SYSTEMTIME local;
            WCHAR text[kTimeTextChars];
            if (UtcToZoneTime(utc, &local, *zone))
                FormatTime(m_library.Language(), text, local, nullptr);
            else
                lstrcpynW(text, kFormatErrorText, kTimeTextChars);
            label.time = ToAnsi(text, kLabelNameBytes);
        }
        nameWidth = std::max(nameWidth, m_font.Width(label.name));
        timeWidth = std::max(timeWidth, m_font.Width(label.time));
    }
    int timeColumn = nameWidth + m_font.Width(" ");
    int boxWidth = (timeWidth ? timeColumn + timeWidth : nameWidth) + kBoxPadding;
    int lineHeight = LineHeight();
    int left = (int)probe[0] + kLabelGap;
    // line i's band; the nearest city's band is centred on the probe
    auto bandBottom = [&](int i) { return (int)probe[1] - lineHeight / 2 + (nearest - i) * lineHeight; };
    int count = (int)labels.size();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    FillRect((float)left, (float)bandBottom(count - 1), (float)(left + boxWidth), (float)(bandBottom(0) + lineHeight),
             0, 0, 0, 0.15f);
    FillRect((float)left, (float)bandBottom(nearest), (float)(left + boxWidth),
             (float)(bandBottom(nearest) + lineHeight), 0, 0.9f, 0.9f, 0.17f);
    glDisable(GL_BLEND);
    const CityRecord* marked = labels[nearest].city;
    if (marked->isNearest) {
        glPointSize(3.5f);
        glColor3f(1, 1, 0);
        glBegin(GL_POINTS);
        glVertex2d(marked->labelPosition[0], marked->labelPosition[1]);
        glEnd();
        glPointSize(1.0f);
    }
    for (int i = 0; i < count; ++i) {
        bool isNearest = labels[i].city->isNearest != 0;
        if (isNearest)
            glColor3f(1, 1, 0);
        else
            glColor3f(0.75f, 0.75f, 0);
        int baseline = bandBottom(i) + 1 + m_font.Descent();
        m_font.Draw(left + kBoxPadding / 2, baseline, labels[i].name);
        m_font.Draw(left + kBoxPadding / 2 + timeColumn, baseline, labels[i].time);
    }
    m_labelsDrawn = count;
}

int CMapWindow::CreditHitTest(int x, int y) const
{
    int lineHeight = LineHeight();
    for (int i = 0; i < kCreditCount; ++i) {
        int bottom = kMargin + i * lineHeight - m_font.Descent();
        int right = kMargin + m_font.Width(kCredits[i].text) + kMargin;
        if (x >= kMargin && x < right && y >= bottom && y < bottom + lineHeight)
            return i;
    }
    return -1;
}

void CMapWindow::OpenCredit(int line)
{
    if (line >= 0 && line < kCreditCount)
        m_library.WebOpener().OpenAddress(kCredits[line].address);
}

void CMapWindow::DrawCredits()
{
    int hot = m_cursorX >= 0 ? CreditHitTest(m_cursorX, m_cursorY) : -1;
    for (int i = 0; i < kCreditCount; ++i) {
        if (i == hot)
            glColor3f(0, 1, 0.33f);
        else
            glColor3f(0, 0.75f, 0.25f);
        int y = kMargin + i * LineHeight();
        m_font.Draw(kMargin, y, kCredits[i].text);
        // the underline, one pixel below the baseline
        glBegin(GL_LINES);
        glVertex2f((float)kMargin, y - 0.5f);
        glVertex2f((float)(kMargin + m_font.Width(kCredits[i].text)), y - 0.5f);
        glEnd();
    }
}

void CMapWindow::DrawReadouts()
{
    int lineHeight = LineHeight();
    int y = m_scene.GetHeight() - kMargin - m_font.Height() + m_font.Descent();
    char text[512];
    glColor3f(1, 1, 1);
    FormatLatLong(m_probeLatitude, m_probeLongitude, text);
    m_font.Draw(kMargin, y, text);
    y -= lineHeight;

    if (m_showInfo && m_planet && m_planet->HasSurface()) {
        const DetailLevel& detail = m_library.Textures().detail;
        int n = snprintf(text, sizeof(text),
                         "per. factor: %d%%, atmo layers: %d, slices: %d, stacks %d, texture size %dx%d(max %dx%d)",
                         detail.factor, detail.layers, detail.slices, detail.stacks, m_planet->GetTileWidth(),
                         m_planet->GetTileHeight(), detail.maxTextureSize, detail.maxTextureSize);
        if (m_rateTest.Running() && n > 0 && n < (int)sizeof(text))
            snprintf(text + n, sizeof(text) - n, ", test %d/%d", m_rateTest.counter < 0 ? 0 : m_rateTest.counter,
                     FrameRateTest::kFrames);
        m_font.Draw(kMargin, y, text);
        y -= lineHeight;
        m_font.Draw(kMargin, y, "Renderer: " + m_caps.renderer + ", Version: " + m_caps.version);
        y -= lineHeight;
        m_font.Draw(kMargin, y, "Vendor: " + m_caps.vendor);
        y -= lineHeight;
    }
    if (m_showFps) {
        if (m_fps > kFpsShown)
            snprintf(text, sizeof(text), "FPS N/A");
        else
            snprintf(text, sizeof(text), "%1.1f FPS", m_fps);
        m_font.Draw(kMargin, y, text);
        y -= lineHeight;
    }
    CMapTextures& textures = m_library.Textures();
    glColor3f(1, 0, 0);
    if (textures.Loading()) {
        m_font.Draw(kMargin, y, "Loading texture...");
        y -= lineHeight;
    }
    if (textures.Splitting())
        m_font.Draw(kMargin, y, "Rescaling and splitting textures...");
}

void CMapWindow::DrawButtonHint()
{
    int width = m_scene.GetWidth(), height = m_scene.GetHeight();
    int left = width - kPhotoStripWidth;
    m_strip->PlaceStripButtons(m_buttons, width, height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glTranslatef((float)left, 0, 0);
    m_buttons.Draw();
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);

    const WCHAR* hint = m_library.LocalString(kInsertHintString);
    if (!hint || m_cursorX < 0)
        return;
    for (int i = 0; i < m_buttons.GetChildCount(); ++i) {
        auto* button = static_cast<C2DButton*>(m_buttons.GetChild(i));
        if (button->GetKey() != VK_INSERT || !button->HitTest(m_cursorX - left, m_cursorY))
            continue;
        std::string text = ToAnsi(hint, 256);
        int y = (int)button->GetTranslation()[1] + (button->GetHeight() - m_font.Height()) / 2 + m_font.Descent();
        glColor3f(1, 1, 1);
        m_font.Draw(left - kMargin - m_font.Width(text), y, text);
    }
}
