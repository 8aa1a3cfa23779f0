#include "app/menu/AboutDialog.h"

#include <stdio.h>
#include <wchar.h>

#include "app/main/MainSeams.h"
#include "app/menu/WebPages.h"
#include "app/ui/DialogHelpers.h"
#include "app/ui/Hyperlink.h"
#include "app/ui/LocalText.h"
#include "app/ui/NumberFormat.h"
#include "graphics/language/Language.h"

namespace {

struct ButtonPage {
    int control;
    int page;
};
const ButtonPage kButtonPages[] = {
    {kIdcAboutFeedback, kPageFeedback},
    {kIdcAboutForum, kPageForum},
    {kIdcAboutFeatureRequest, kPageFeatureRequest},
    {kIdcAboutUpdates, kPageUpdates},
    {kIdcAboutMakerHome, kPageMakerHomeToo},
    {kIdcAboutQuestions, kPageQuestions},
};

const int kFormatChars = 256;

}  // namespace

CAboutDialog::CAboutDialog(const AboutServices& services) : m_services(services) {}

CAboutDialog::~CAboutDialog()
{
    CloseAboutDialog();
}

bool CAboutDialog::ShowAboutDialog()
{
    if (RaiseAboutDialog())
        return true;
    HMODULE resources = m_services.language->GetResources();
    if (!resources || !FindResourceW(resources, MAKEINTRESOURCEW(kDlgAbout), (LPCWSTR)RT_DIALOG))
        return false;
    HWND dialog = CreateDialogParamW(resources, MAKEINTRESOURCEW(kDlgAbout), nullptr, DialogProc, (LPARAM)this);
    if (!dialog)
        return false;
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    RunLoop();
    return true;
}

bool CAboutDialog::RaiseAboutDialog()
{
    if (!m_dialog)
        return false;
    SetForegroundWindow(m_dialog);
    return true;
}

void CAboutDialog::CloseAboutDialog()
{
    if (m_dialog)
        DestroyWindow(m_dialog);
}

void CAboutDialog::RunLoop()
{
    MSG msg;
    while (m_dialog) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0) {
            // the program is ending: its own loop must see the quit too
            PostQuitMessage((int)msg.wParam);
            return;
        }
        if (!IsDialogMessageW(m_dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void CAboutDialog::OpenLink(const WCHAR* url)
{
    if (url && url[0])
        m_services.starter->Start(url, nullptr, nullptr);
}

INT_PTR CALLBACK CAboutDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = (CAboutDialog*)GetWindowLongPtrW(dialog, DWLP_USER);
    return self ? self->OnMessage(dialog, message, wParam, lParam) : FALSE;
}

INT_PTR CAboutDialog::OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        // the focus on OK, not on the first web page's button
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_COMMAND: {
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        for (const ButtonPage& button : kButtonPages)
            if (button.control == id) {
                OpenWebPage(button.page, *m_services.starter, m_services.machine);
                return TRUE;
            }
        return FALSE;
    }
    case WM_DESTROY:
        if (m_dialog == dialog)
            m_dialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void CAboutDialog::OnInitDialog(HWND dialog)
{
    m_dialog = dialog;
    LocalizeDialog(dialog, kAboutSection, *m_services.language);

    WCHAR version[kAboutVersionChars + 1] = L"";
    LoadStringW(m_services.language->GetResources(), kResourceVersionStringId, version, ARRAYSIZE(version));
    WCHAR format[kFormatChars] = L"";
    GetDlgItemTextW(dialog, kIdcAboutVersion, format, ARRAYSIZE(format));
    WCHAR line[kFormatChars + kAboutVersionChars + 2];
    FormatWithOneText(format, version, line, ARRAYSIZE(line));
    SetDlgItemTextW(dialog, kIdcAboutVersion, line);

    // the control's text is the label; the address comes from the pages'
    // table unless a translation wrote a whole link
    HWND link = GetDlgItem(dialog, kIdcAboutLink);
    WCHAR label[kFormatChars] = L"";
    GetWindowTextW(link, label, ARRAYSIZE(label));
    WCHAR address[kWebAddressChars];
    if (!wcsstr(label, L"<a") && FormatWebPage(kPageOverview, ReadAffiliateId(m_services.machine), address)) {
        WCHAR text[kHyperlinkTextChars + 1];
        _snwprintf(text, ARRAYSIZE(text), L"<a href=\"%s\">%s</a>", address, label);
        text[kHyperlinkTextChars] = 0;
        SetWindowTextW(link, text);
    }
    AttachHyperlink(link, this);
    CenterOnDesktop(dialog);
}
