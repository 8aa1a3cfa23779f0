// What the program-wide pages share: the object behind the page window, its
// services and the page protocol's plumbing. GUI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "settings/dialog/PageProtocol.h"
#include "settings/globalpages/GlobalPages.h"

class CLanguage;
class CMainSettings;
struct SettingsDialogServices;

class CGlobalPage {
public:
    CGlobalPage(HWND page, UINT templateId) : m_page(page), m_templateId(templateId) {}
    virtual ~CGlobalPage() = default;
    CGlobalPage(const CGlobalPage&) = delete;
    CGlobalPage& operator=(const CGlobalPage&) = delete;

    virtual void Init() {}
    // Loads run under the pages' loading counter (CPageLoading).
    virtual void Load() {}
    virtual void Store(PageExchange& exchange) { exchange.invalid = nullptr; }
    virtual void Command(WORD id, WORD code) {}
    virtual void Relocalize() { Localize(); }
    virtual void Destroy() {}
    // Messages beyond the protocol; true when handled.
    virtual bool Other(UINT message, WPARAM wParam, LPARAM lParam) { return false; }

    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    SettingsDialogServices* Services() const;
    CMainSettings* Settings() const;
    CLanguage* Language() const;
    const GlobalPageSeams* Seams() const;
    IGlobalPageBoxes& Boxes() const;
    ILinkOpener& Links() const;

    void Localize();
    // UM_PAGECHANGED to the dialog, unless loading.
    void ReportChange();
    std::wstring String(UINT id) const;
    HWND Item(int id) const { return GetDlgItem(m_page, id); }
    // Runs Load under the loading counter.
    void LoadGuarded();
    // Store with nothing to report back.
    void StoreNow();

    HWND m_page;
    UINT m_templateId;
};

// The dialog procedure of page class T (constructed from the page window).
template <class T>
INT_PTR CALLBACK GlobalPageProcOf(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    CGlobalPage* self = nullptr;
    if (message == WM_INITDIALOG) {
        try {
            self = new T(page);
        } catch (...) {
            return FALSE;
        }
        SetWindowLongPtrW(page, DWLP_USER, (LONG_PTR)self);
    } else {
        self = (CGlobalPage*)GetWindowLongPtrW(page, DWLP_USER);
    }
    if (!self)
        return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->Handle(message, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(page, DWLP_USER, 0);
        delete self;
    }
    return result;
}

// Combo box helpers.
int ComboAdd(HWND combo, const WCHAR* text, LPARAM data);
int ComboFindData(HWND combo, LPARAM data);
LPARAM ComboData(HWND combo, int index);
