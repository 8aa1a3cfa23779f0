#include "tests/support/StandinMain.h"

#include <stdio.h>

#include "graphics/protocol/WindowClasses.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

const DWORD kStandinCloseMs = 5000;

std::wstring Wide(const std::string& utf8)
{
    std::wstring text;
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), nullptr, 0);
    if (n > 0) {
        text.resize(n);
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), &text[0], n);
    }
    return text;
}

bool ParseLine(const std::string& line, StandinMainEntry* entry)
{
    unsigned long tick = 0;
    unsigned message = 0;
    unsigned long long wParam = 0;
    long long lParam = 0;
    int used = 0;
    if (sscanf(line.c_str(), "%lu %u %llu %lld%n", &tick, &message, &wParam, &lParam, &used) != 4)
        return false;
    entry->tick = tick;
    entry->message = message;
    entry->wParam = (WPARAM)wParam;
    entry->lParam = (LPARAM)lParam;
    std::string rest = line.substr(used);
    unsigned long long id = 0;
    unsigned long bytes = 0;
    int textAt = 0;
    if (sscanf(rest.c_str(), " copydata %llu %lu %n", &id, &bytes, &textAt) == 2 && textAt > 0) {
        entry->copyData = true;
        entry->copyId = (ULONG_PTR)id;
        entry->copyBytes = bytes;
        entry->text = Wide(rest.substr(textAt));
    } else if (rest.compare(0, 10, " snapshot ") == 0) {
        entry->snapshot = Wide(rest.substr(10));
    }
    return true;
}

}  // namespace

std::vector<StandinMainEntry> ReadStandinMainLog(const std::wstring& path)
{
    std::vector<StandinMainEntry> entries;
    std::string bytes = ReadFileBytes(path);
    for (size_t p = 0; p < bytes.size();) {
        size_t end = bytes.find('\n', p);
        if (end == std::string::npos)
            break;
        StandinMainEntry entry;
        if (ParseLine(bytes.substr(p, end - p), &entry))
            entries.push_back(entry);
        p = end + 1;
    }
    return entries;
}

CStandinMain::CStandinMain(const std::wstring& logPath, const std::wstring& settingsPath) : m_logPath(logPath)
{
    std::wstring exe = std::wstring(TL_TEST_BINARIES) + L"standin_main.exe";
    if (!m_process.Start(exe, L"\"" + logPath + L"\" \"" + settingsPath + L"\""))
        return;
    PumpUntil([&] {
        m_window = FindProcessWindow(m_process.Pid(), kMainWindowClass);
        return m_window != nullptr || !m_process.Running();
    }, kProgramWaitMs);
}

CStandinMain::~CStandinMain()
{
    Stop();
}

std::vector<StandinMainEntry> CStandinMain::Received(UINT message) const
{
    std::vector<StandinMainEntry> found;
    for (const StandinMainEntry& entry : Log())
        if (entry.message == message)
            found.push_back(entry);
    return found;
}

bool CStandinMain::WaitFor(UINT message, size_t count, DWORD ms) const
{
    return PumpUntil([&] { return Received(message).size() >= count; }, ms);
}

int CStandinMain::Stop()
{
    if (!m_process.Running())
        return m_process.ExitCode(0);
    if (m_window)
        PostMessageW(m_window, WM_CLOSE, 0, 0);
    m_window = nullptr;
    // End() terminates it when WM_CLOSE did not end it
    int code = m_process.ExitCode(kStandinCloseMs);
    m_process.End();
    return code;
}
