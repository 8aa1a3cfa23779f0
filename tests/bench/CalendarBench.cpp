// Three months of the calendar widget painted into a DIB against the system's
// month calendar printing three months (WM_PRINTCLIENT) into a DIB of the
// same size: the median of many paints of each, in the same run.
#include <stdio.h>

#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "graphics/calendar/CalendarWidget.h"
#include "graphics/image/Bitmap.h"
#include "graphics/image/PixelBuffer.h"
#include "graphics/system/Handles.h"
#include "tests/bench/BenchTimer.h"
#include "tests/support/FakeLanguage.h"

namespace {

const int kPaints = 200;

template <class Fn>
double MedianMs(Fn paint)
{
    std::vector<double> times;
    for (int i = 0; i < kPaints; ++i) {
        double t0 = QpcNowMs();
        paint();
        GdiFlush();
        times.push_back(QpcNowMs() - t0);
    }
    return Median(times);
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_DATE_CLASSES};
    if (!InitCommonControlsEx(&icc)) {
        fprintf(stderr, "no month calendar class\n");
        return 1;
    }
    // a fixed day, so that every run paints the same months
    const SYSTEMTIME day = {2026, 6, 3, 17, 12, 0, 0, 0};

    HWND system = CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!system) {
        fprintf(stderr, "no month calendar window\n");
        return 1;
    }
    SendMessageW(system, MCM_SETCURSEL, 0, (LPARAM)&day);
    SendMessageW(system, MCM_SETTODAY, 0, (LPARAM)&day);
    RECT one = {};
    SendMessageW(system, MCM_GETMINREQRECT, 0, (LPARAM)&one);
    int monthWidth = one.right - one.left;
    int height = one.bottom - one.top;
    // three months across, with room for the gaps between them
    int width = 3 * monthWidth + 24;
    SetWindowPos(system, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SYSTEMTIME range[2];
    int shown = (int)SendMessageW(system, MCM_GETMONTHRANGE, GMR_VISIBLE, (LPARAM)range);

    CFakeLanguage language;
    Calendar::CCalendarWidget widget(language, day);
    widget.SetMonths(3, 1);
    widget.SetFlags(Calendar::kShowTodayLine);
    CPixelBuffer buttons;
    if (buttons.LoadPng(TL_PROGRAM_FOLDER L"nav_btns.png"))
        widget.SetButtonsImage(buttons);
    CDibSection ours, theirs;
    ours.Create(1, 1);
    widget.SetDC(ours.GetDC());
    int ourWidth, ourHeight;
    widget.GetSize(&ourWidth, &ourHeight);
    // both into DIBs of one size, the larger of the two
    if (ourWidth > width)
        width = ourWidth;
    if (ourHeight > height)
        height = ourHeight;
    ours.Create(width, height);
    theirs.Create(width, height);
    widget.SetDC(ours.GetDC());
    widget.SetRect({0, 0, ourWidth, ourHeight});

    double widgetMs = MedianMs([&] { widget.Paint(); });
    double systemMs = MedianMs([&] {
        SendMessageW(system, WM_PRINTCLIENT, (WPARAM)theirs.GetDC(), PRF_CLIENT | PRF_ERASEBKGND);
    });
    DestroyWindow(system);

    printf("three months into a %d x %d DIB (the system shows %d), median of %d paints\n", width, height, shown,
           kPaints);
    printf("widget %8.3f ms   SysMonthCal32 %8.3f ms   ratio %5.2f (goal <= 1.5)\n", widgetMs, systemMs,
           widgetMs / systemMs);
    return 0;
}
