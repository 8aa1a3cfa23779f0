// A window of the test's own that notes what other windows and processes
// send it: WM_COPYDATA blocks (answered 1) and private messages (WM_APP and
// up, answered 0). A tray clock or a download requester to the main program.
#pragma once

#include <windows.h>

#include <vector>

class CRecordingWindow {
public:
    struct Block {
        HWND sender;
        ULONG_PTR id;
        DWORD bytes;
        std::vector<BYTE> data;
    };
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    CRecordingWindow();
    ~CRecordingWindow();
    CRecordingWindow(const CRecordingWindow&) = delete;
    CRecordingWindow& operator=(const CRecordingWindow&) = delete;

    HWND Window() const { return m_window; }
    // The tray clock's handshake with the main program: it answers with its
    // window and pushes its data to this one. Null when it did not answer.
    HWND AttachAsTrayClock(HWND main, DWORD waitMs) const;
    // The private messages numbered `message`.
    std::vector<Message> Received(UINT message) const;

    std::vector<Block> blocks;
    std::vector<Message> messages;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window;
};
