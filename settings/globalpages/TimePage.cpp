#include <stdlib.h>

#include "app/menu/ServiceControl.h"
#include "app/settings/MainSettings.h"
#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsIni.h"
#include "app/ui/Hyperlink.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/TimeServiceProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/StoppableThread.h"
#include "settings/SettingsStrings.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/globalpages/GlobalPage.h"
#include "settings/globalpages/SyncStatusText.h"

namespace {

const WCHAR kCommon[] = L"common";
const int kServerTextChars = 1024;  // what a server key may hold
const DWORD kEventWaitMs = 500;
const WPARAM kSyncEventSignalled = 0;

// Waits on the service's event until told to stop; tells `page` each time
// the service signals, or once that the event is missing.
void WatchSyncEvent(HWND page, HANDLE stop)
{
    CKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, kTimeEventName));
    if (!event) {
        SendMessageW(page, UM_SYNCSTATUS, kStrNoTimeService, 0);
        return;
    }
    HANDLE both[2] = {stop, event.Get()};
    while (IsWindow(page)) {
        DWORD woken = WaitForMultipleObjects(2, both, FALSE, kEventWaitMs);
        if (woken == WAIT_TIMEOUT)
            continue;
        if (woken != WAIT_OBJECT_0 + 1)
            return;  // stopped, abandoned or failed
        if (IsWindow(page))
            SendMessageW(page, UM_SYNCSTATUS, kSyncEventSignalled, 0);
    }
}

class CTimePage : public CGlobalPage {
public:
    explicit CTimePage(HWND page) : CGlobalPage(page, 196) {}

    void Init() override
    {
        Localize();
        AttachHyperlink(Item(kIdcSyncStatus), &Links());
        SendMessageW(Item(kIdcTimeServer), CB_LIMITTEXT, kTimeServerChars - 1, 0);
        FillSyncTypes();
        Load();
        ShowStatus();
        HWND page = m_page;
        m_watch.Start([page](HANDLE stop) { WatchSyncEvent(page, stop); });
    }
    void Destroy() override
    {
        // the watch sends to this page: its sends are answered while it ends
        m_closing = true;
        m_watch.StopAnsweringSends();
    }
    void Load() override
    {
        CMainSettings* settings = Settings();
        if (!settings)
            return;
        const SettingsBlock& block = settings->Block();
        bool autoSync = (block.options & kOptAutoSync) != 0;
        CheckDlgButton(m_page, kIdcAutoSync, autoSync ? BST_CHECKED : BST_UNCHECKED);
        SelectSyncType((int)block.syncType);
        EnableWindow(Item(kIdcSyncType), autoSync);

        HWND servers = Item(kIdcTimeServer);
        SendMessageW(servers, CB_RESETCONTENT, 0, 0);
        const WCHAR* file = Services()->paths->userIni;
        int n = 1;
        for (;; ++n) {
            std::wstring text;
            std::wstring key = L"server" + std::to_wstring(n);
            if (!ReadProfileText(file, kCommon, key.c_str(), L"", &text) || text.empty())
                break;
            if (text.size() > (size_t)kServerTextChars)
                text.resize(kServerTextChars);
            SendMessageW(servers, CB_ADDSTRING, 0, (LPARAM)text.c_str());
        }
        m_firstFree = n;
        // a server typed before the page was left goes on being typed
        int index = settings->Edited().serverIndex;
        m_pending = index < 0 && -index < m_firstFree ? -index : 0;
        // a typed server not yet applied is chosen under its negated number
        SendMessageW(servers, CB_SETCURSEL, (WPARAM)(ChosenNumber() - 1), 0);
    }
    void Store(PageExchange& exchange) override
    {
        exchange.invalid = nullptr;
        CMainSettings* settings = Settings();
        if (!settings)
            return;
        SettingsBlock& block = settings->Block();
        if (IsDlgButtonChecked(m_page, kIdcAutoSync) == BST_CHECKED)
            block.options |= kOptAutoSync;
        else
            block.options &= ~kOptAutoSync;
        // no selection (a stored kind the list does not offer) keeps the stored one
        int type = (int)SendMessageW(Item(kIdcSyncType), CB_GETCURSEL, 0, 0);
        if (type >= 0)
            block.syncType = (uint32_t)type;
        StoreServer(*settings);
    }
    void Command(WORD id, WORD code) override
    {
        switch (id) {
        case kIdcAutoSync:
            if (code == BN_CLICKED) {
                EnableWindow(Item(kIdcSyncType), IsDlgButtonChecked(m_page, kIdcAutoSync) == BST_CHECKED);
                ReportChange();
            }
            return;
        case kIdcSyncType:
            if (code == CBN_SELCHANGE)
                ReportChange();
            return;
        case kIdcTimeServer:
            if (code == CBN_SELCHANGE) {
                // the edit field takes the new entry only after this notice,
                // and the store reads the edit field
                HWND servers = Item(kIdcTimeServer);
                int index = (int)SendMessageW(servers, CB_GETCURSEL, 0, 0);
                if (index >= 0) {
                    std::wstring text = EntryText(servers, index);
                    SetWindowTextW(servers, text.c_str());
                }
                m_pending = 0;
                ReportChange();
            } else if (code == CBN_EDITCHANGE) {
                ReportChange();
            }
            return;
        case kIdcSyncNow:
            if (code == BN_CLICKED)
                SyncNow();
            return;
        }
    }
    void Relocalize() override
    {
        Localize();
        int type = (int)SendMessageW(Item(kIdcSyncType), CB_GETCURSEL, 0, 0);
        FillSyncTypes();
        SendMessageW(Item(kIdcSyncType), CB_SETCURSEL, (WPARAM)type, 0);
        ShowStatus();
    }
    bool Other(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message != UM_SYNCSTATUS)
            return false;
        if (m_closing)
            return true;
        m_serviceMissing = wParam == kStrNoTimeService;
        EnableWindow(Item(kIdcSyncNow), !m_serviceMissing);
        ShowStatus();
        return true;
    }

private:
    int ChosenNumber() const
    {
        CMainSettings* settings = Settings();
        int index = settings ? settings->Edited().serverIndex : 0;
        return index < 0 ? -index : index;
    }
    static std::wstring EntryText(HWND combo, int index)
    {
        int length = (int)SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
        if (length <= 0)
            return std::wstring();
        std::wstring text((size_t)length + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, index, (LPARAM)&text[0]);
        text.resize(wcslen(text.c_str()));
        return text;
    }
    void FillSyncTypes()
    {
        HWND types = Item(kIdcSyncType);
        SendMessageW(types, CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < kSyncTypeCount; ++i)
            SendMessageW(types, CB_ADDSTRING, 0, (LPARAM)String(kStrSyncTypeFirst + i).c_str());
    }
    void SelectSyncType(int type)
    {
        SendMessageW(Item(kIdcSyncType), CB_SETCURSEL, type >= 0 && type < kSyncTypeCount ? type : -1, 0);
    }
    void WriteServerKey(int number, const WCHAR* text)
    {
        const WCHAR* file = Services()->paths->userIni;
        EnsureUnicodeSettingsFile(file);
        std::wstring key = L"server" + std::to_wstring(number);
        WritePrivateProfileStringW(kCommon, key.c_str(), text, file);
    }
    // Replaces list entry `index`, keeping what the edit field shows.
    void ReplaceEntry(HWND servers, int index, const WCHAR* text)
    {
        WCHAR shown[kTimeServerChars] = {};
        GetWindowTextW(servers, shown, kTimeServerChars);
        DWORD caret = (DWORD)SendMessageW(servers, CB_GETEDITSEL, 0, 0);
        SendMessageW(servers, CB_DELETESTRING, index, 0);
        SendMessageW(servers, CB_INSERTSTRING, index, (LPARAM)text);
        WCHAR now[kTimeServerChars] = {};
        GetWindowTextW(servers, now, kTimeServerChars);
        if (wcscmp(now, shown) != 0) {
            SetWindowTextW(servers, shown);
            SendMessageW(servers, CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(caret), HIWORD(caret)));
        }
    }
    void StoreServer(CMainSettings& settings)
    {
        HWND servers = Item(kIdcTimeServer);
        WCHAR text[kTimeServerChars] = {};
        GetWindowTextW(servers, text, kTimeServerChars);
        if (!text[0]) {
            SendMessageW(servers, CB_SETCURSEL, (WPARAM)(ChosenNumber() - 1), 0);
            return;
        }
        EditedSettings& edited = settings.Edited();
        SettingsBlock& block = settings.Block();
        int found = (int)SendMessageW(servers, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
        if (found >= 0 && found + 1 != m_pending) {
            edited.serverIndex = found + 1;
            m_pending = 0;
        } else if (m_pending > 0) {
            // the server being typed keeps its number: each keystroke is a
            // store, and each new number would be another key in the file
            ReplaceEntry(servers, m_pending - 1, text);
            WriteServerKey(m_pending, text);
            edited.serverIndex = -m_pending;
        } else {
            SendMessageW(servers, CB_ADDSTRING, 0, (LPARAM)text);
            m_pending = m_firstFree++;
            WriteServerKey(m_pending, text);
            edited.serverIndex = -m_pending;
        }
        CopyFixed(block.timeServer, FIELD_WIDTH(block.timeServer), text);
    }
    void ShowStatus()
    {
        const WCHAR* file = Services() ? Services()->paths->userIni : nullptr;
        std::wstring status = String(kStrSyncStatus) + L"<br>";
        std::wstring result, stamp;
        if (m_serviceMissing) {
            status = String(kStrNoTimeService);
        } else if (file && ReadProfileText(file, kCommon, L"synclastresult", L"-1", &result)) {
            UINT id = SyncResultStringId(_wtoi(result.c_str()));
            if (id)
                status += String(id);
        }
        SetDlgItemTextW(m_page, kIdcSyncStatus, status.c_str());
        // Wine's static control draws a new text at once, markup and all
        InvalidateRect(Item(kIdcSyncStatus), nullptr, TRUE);

        std::wstring last = String(kStrLastSync) + L" ";
        SYSTEMTIME time;
        WCHAR date[128], clock[64];
        if (file && ReadProfileText(file, kCommon, L"synclasttime", L"", &stamp) &&
            ParseSyncTime(stamp.c_str(), &time) &&
            GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &time, nullptr, date, 128) > 0 &&
            GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, 64) > 0)
            last += std::wstring(date) + L" " + String(kStrSyncTimeAt) + L" " + clock;
        else
            last += String(kStrNeverSynced);
        SetDlgItemTextW(m_page, kIdcLastSync, last.c_str());
    }
    void SyncNow()
    {
        CMainSettings* settings = Settings();
        if (!settings)
            return;
        StoreNow();
        // the write tells the service to read its settings again (129)
        settings->WriteGeneralSettings(kWriteSynchronisation);
        static CServiceManagerControl system;
        const GlobalPageSeams* seams = Seams();
        ITimeServiceControl& service = seams && seams->timeService ? *seams->timeService : system;
        if (!service.SendControl(kServiceControlSyncNow))
            Boxes().ShowError(m_page, String(kStrNoTimeService).c_str(), String(kStrSettingsCaption).c_str());
    }

    CStoppableThread m_watch;
    int m_firstFree = 1;
    int m_pending = 0;  // the number of the server being typed, 0 when none
    bool m_serviceMissing = false;
    bool m_closing = false;
};

}  // namespace

INT_PTR CALLBACK TimePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GlobalPageProcOf<CTimePage>(page, message, wParam, lParam);
}
