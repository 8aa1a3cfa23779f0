#include "settings/newspage/AddChannelDialog.h"

#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"

namespace {

struct AddChannelRequest {
    const CLanguage* language;
    WCHAR* buffer;
    int chars;
    const WCHAR* title;
    const WCHAR* label;
};

const int kTextChars = 256;

// A text or, below 0x10000, a string id of the language.
void SetTextOrString(HWND window, const AddChannelRequest& request, const WCHAR* text)
{
    if (!window || !text)
        return;
    if (IS_INTRESOURCE(text)) {
        WCHAR loaded[kTextChars] = L"";
        if (LoadLocalString(*request.language, request.language->GetResources(), (UINT)(ULONG_PTR)text, loaded,
                            kTextChars, nullptr) > 0)
            SetWindowTextW(window, loaded);
        return;
    }
    SetWindowTextW(window, text);
}

INT_PTR CALLBACK AddChannelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* request = (AddChannelRequest*)lParam;
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        LocalizeDialog(dialog, kAddChannelSection, *request->language);
        SetTextOrString(dialog, *request, request->title);
        SetTextOrString(GetDlgItem(dialog, kIdcChannelLabel), *request, request->label);
        HWND edit = GetDlgItem(dialog, kIdcChannelAddress);
        SendMessageW(edit, EM_LIMITTEXT, request->chars - 1, 0);
        SetWindowTextW(edit, request->buffer);
        // the caret after the scheme, ready for the rest of the address
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        return FALSE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL)
            return FALSE;
        auto* request = (AddChannelRequest*)GetWindowLongPtrW(dialog, DWLP_USER);
        if (id == IDOK && request)
            GetDlgItemTextW(dialog, kIdcChannelAddress, request->buffer, request->chars);
        EndDialog(dialog, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR AddChannelDialog(HWND owner, const CLanguage& language, WCHAR* buffer, int chars, const WCHAR* title,
                         const WCHAR* label)
{
    if (!buffer || chars < 2)
        return -1;
    AddChannelRequest request = {&language, buffer, chars, title, label};
    return DialogBoxParamW(language.GetResources(), MAKEINTRESOURCEW(kAddChannelTemplate), owner, AddChannelProc,
                           (LPARAM)&request);
}
