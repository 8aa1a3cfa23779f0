// The About box: modeless, made from the language library's template, with
// a message loop of its own while it is open.
#pragma once

#include <windows.h>

#include "app/ui/Hyperlink.h"

class CLanguage;
class IProgramStarter;

const UINT kDlgAbout = 132;
const WCHAR kAboutSection[] = L"DLG_About_132";
// A format with one "%s": the language library's version.
const int kIdcAboutVersion = 1170;
// The product's web page, drawn as a link.
const int kIdcAboutLink = 1162;
const int kIdcAboutFeedback = 135;
const int kIdcAboutForum = 136;
const int kIdcAboutFeatureRequest = 137;
const int kIdcAboutUpdates = 138;
const int kIdcAboutMakerHome = 1073;
const int kIdcAboutQuestions = 1307;
// String 139 of the library is shown cut to this many characters.
const int kAboutVersionChars = 30;

struct AboutServices {
    const CLanguage* language;
    IProgramStarter* starter;   // the web pages and the link
    HKEY machine;               // where "affiliate_id" is read: HKEY_LOCAL_MACHINE
};

// Its link control opens its address the way the buttons open theirs.
class CAboutDialog : private ILinkOpener {
public:
    explicit CAboutDialog(const AboutServices& services);
    ~CAboutDialog();
    CAboutDialog(const CAboutDialog&) = delete;
    CAboutDialog& operator=(const CAboutDialog&) = delete;

    // An open dialog comes to the foreground; otherwise the dialog is made,
    // shown, and its loop runs until it is gone or WM_QUIT comes, which is
    // posted again for the caller's loop. False when the template cannot be
    // made: the caller tells the user.
    bool ShowAboutDialog();
    // True when a dialog was open and came to the top.
    bool RaiseAboutDialog();
    void CloseAboutDialog();
    HWND Window() const { return m_dialog; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void RunLoop();
    void OpenLink(const WCHAR* url) override;

    AboutServices m_services;
    HWND m_dialog = nullptr;
};
