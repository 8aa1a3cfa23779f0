#include "tests/support/RecordingWindow.h"

#include "graphics/protocol/MainWindowProtocol.h"

namespace {

const WCHAR kClass[] = L"TL_TestRecordingWindow";

}  // namespace

CRecordingWindow::CRecordingWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly for the second window
    m_window = CreateWindowW(kClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, this);
}

CRecordingWindow::~CRecordingWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}

std::vector<CRecordingWindow::Message> CRecordingWindow::Received(UINT message) const
{
    std::vector<Message> found;
    for (const Message& m : messages)
        if (m.message == message)
            found.push_back(m);
    return found;
}

LRESULT CALLBACK CRecordingWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
    CRecordingWindow* self = (CRecordingWindow*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (self && message == WM_COPYDATA) {
        const COPYDATASTRUCT* block = (const COPYDATASTRUCT*)lParam;
        const BYTE* data = (const BYTE*)block->lpData;
        self->blocks.push_back({(HWND)wParam, block->dwData, block->cbData,
                                std::vector<BYTE>(data, data ? data + block->cbData : data)});
        return 1;
    }
    if (self && message >= WM_APP && message < 0xC000) {
        self->messages.push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CRecordingWindow::AttachAsTrayClock(HWND main, DWORD waitMs) const
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(main, UM_TRAYCLOCKATTACHED, 0, (LPARAM)m_window, SMTO_NORMAL, waitMs, &answer))
        return nullptr;
    return (HWND)answer;
}
