// What the settings program asks of a running main program, found by its
// window class. A main program that is not running is no error.
#pragma once

#include <windows.h>

class IMainProgramLink {
public:
    virtual ~IMainProgramLink() = default;
    // The main program writes its running timer state into the settings file;
    // returns once it has (or at once without a main program).
    virtual void SaveState() = 0;
    // Sends (`send`) or posts the message to the main window; its answer, 0
    // without a main program.
    virtual LRESULT SendToMainProgram(UINT message, WPARAM wParam, LPARAM lParam, bool send) = 0;
};

class CMainProgramLink : public IMainProgramLink {
public:
    // `className` names the main program's window class; it must outlive the link.
    explicit CMainProgramLink(const WCHAR* className);
    void SaveState() override;
    LRESULT SendToMainProgram(UINT message, WPARAM wParam, LPARAM lParam, bool send) override;

private:
    const WCHAR* m_className;
};
