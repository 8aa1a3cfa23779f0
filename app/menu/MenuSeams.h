// The system calls of the main menu, the tray icon and the click actions,
// replaceable so that tests see what would happen without a clipboard, a
// tray or a program started.
#pragma once

#include <windows.h>
#include <shellapi.h>

// The clipboard, as the copy action fills it.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // `text` as CF_UNICODETEXT; false when the clipboard would not take it.
    virtual bool SetText(HWND owner, const WCHAR* text) = 0;
};

class CSystemClipboard : public IClipboard {
public:
    bool SetText(HWND owner, const WCHAR* text) override;
};

// Shell_NotifyIconW.
class ITrayIconApi {
public:
    virtual ~ITrayIconApi() = default;
    virtual bool Notify(DWORD message, NOTIFYICONDATAW* data) = 0;
};

class CShellTrayIconApi : public ITrayIconApi {
public:
    bool Notify(DWORD message, NOTIFYICONDATAW* data) override;
};

// Runs a text as a file or command line, as an alarm's program action does;
// false when nothing could be started.
class ICommandRunner {
public:
    virtual ~ICommandRunner() = default;
    virtual bool Run(const WCHAR* text) = 0;
};

class IAlarmShell;

// As an alarm's program action runs its text.
class CAlarmCommandRunner : public ICommandRunner {
public:
    explicit CAlarmCommandRunner(IAlarmShell& shell) : m_shell(shell) {}
    bool Run(const WCHAR* text) override;

private:
    IAlarmShell& m_shell;
};
