// The service manager and registry as the installer sees them, in memory:
// one service slot, failures set per call, every handle counted.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "timesvc/command/HoralinkText.h"
#include "timesvc/command/HoralinkUi.h"
#include "timesvc/command/ServiceManagerApi.h"

class CFakeServiceManagerApi : public IServiceManagerApi {
public:
    struct Service {
        std::wstring displayName;
        std::wstring binaryPath;
        DWORD startType = 0;
        DWORD serviceType = 0;
        DWORD errorControl = 0;
        bool localSystem = false;
        DWORD state = SERVICE_STOPPED;
        bool markedForDeletion = false;
    };

    DWORD OpenManager(DWORD access, SC_HANDLE* manager) override
    {
        managerAccess.push_back(access);
        if (openManagerError)
            return Fail(openManagerError, manager);
        *manager = NewHandle(kManager);
        return 0;
    }
    DWORD CreateEntry(SC_HANDLE manager, const ServiceEntry& entry, SC_HANDLE* service) override
    {
        if (createError)
            return Fail(createError, service);
        if (installed)
            return Fail(ERROR_SERVICE_EXISTS, service);
        Service s;
        s.displayName = entry.displayName;
        s.binaryPath = entry.binaryPath;
        s.startType = entry.startType;
        s.serviceType = entry.serviceType;
        s.errorControl = entry.errorControl;
        s.localSystem = entry.account == nullptr;
        stored = s;
        installed = true;
        ++created;
        *service = NewHandle(kService);
        return 0;
    }
    DWORD OpenEntry(SC_HANDLE manager, const WCHAR* name, DWORD access, SC_HANDLE* service) override
    {
        serviceAccess.push_back(access);
        if (openServiceError)
            return Fail(openServiceError, service);
        if (!installed || std::wstring(name) != L"TLTime")
            return Fail(ERROR_SERVICE_DOES_NOT_EXIST, service);
        *service = NewHandle(kService);
        return 0;
    }
    DWORD SendControl(SC_HANDLE service, DWORD control) override
    {
        controls.push_back(control);
        if (stored.state == SERVICE_STOPPED)
            return ERROR_SERVICE_NOT_ACTIVE;
        if (control == SERVICE_CONTROL_STOP)
            stored.state = SERVICE_STOP_PENDING;
        return 0;
    }
    DWORD QueryState(SC_HANDLE service, DWORD* state) override
    {
        // the service stops after `stopAfterMs` of the installer's sleeps
        if (stored.state == SERVICE_STOP_PENDING && sleptMs >= stopAfterMs)
            stored.state = SERVICE_STOPPED;
        *state = stored.state;
        return 0;
    }
    DWORD StartEntry(SC_HANDLE service) override
    {
        if (startError)
            return startError;
        stored.state = SERVICE_RUNNING;
        ++starts;
        return 0;
    }
    DWORD DeleteEntry(SC_HANDLE service) override
    {
        deleteStates.push_back(stored.state);
        if (deleteError)
            return deleteError;
        if (stored.markedForDeletion)
            return ERROR_SERVICE_MARKED_FOR_DELETE;
        // a running service only goes when it stops
        if (stored.state != SERVICE_STOPPED)
            stored.markedForDeletion = true;
        else
            installed = false;
        ++deletes;
        return 0;
    }
    void CloseServiceHandle(SC_HANDLE handle) override { Close(handle); }
    DWORD OpenMachineKey(const WCHAR* path, REGSAM access, HKEY* key) override
    {
        keyPath = path;
        keyAccess = access;
        if (openKeyError) {
            *key = nullptr;
            return openKeyError;
        }
        *key = (HKEY)NewHandle(kKey);
        return 0;
    }
    DWORD SetValue(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD bytes) override
    {
        if (setValueError)
            return setValueError;
        Value& v = values[name];
        v.type = type;
        v.bytes.assign(data, data + bytes);
        return 0;
    }
    void CloseKey(HKEY key) override { Close((SC_HANDLE)key); }
    void Sleep(DWORD ms) override { sleptMs += ms; }

    // Handles given out and not closed; 0 after every command.
    int OpenHandles() const { return (int)m_open.size(); }

    struct Value {
        DWORD type = 0;
        std::vector<BYTE> bytes;
    };

    bool installed = false;
    Service stored;
    DWORD openManagerError = 0, createError = 0, openServiceError = 0;
    DWORD startError = 0, deleteError = 0, openKeyError = 0, setValueError = 0;
    DWORD stopAfterMs = 0;
    DWORD sleptMs = 0;
    int created = 0, deletes = 0, starts = 0;
    std::vector<DWORD> managerAccess, serviceAccess, controls, deleteStates;
    std::wstring keyPath;
    REGSAM keyAccess = 0;
    std::map<std::wstring, Value> values;

private:
    enum Kind { kManager, kService, kKey };
    SC_HANDLE NewHandle(Kind kind)
    {
        SC_HANDLE h = (SC_HANDLE)(UINT_PTR)(0x1000 + 16 * ++m_next);
        m_open[h] = kind;
        return h;
    }
    void Close(SC_HANDLE h) { m_open.erase(h); }
    DWORD Fail(DWORD error, SC_HANDLE* out)
    {
        *out = nullptr;
        return error;
    }

    std::map<SC_HANDLE, Kind> m_open;
    int m_next = 0;
};

// Texts by id from a small table; every box recorded, none shown.
class CFakeHoralinkUi : public IHoralinkUi {
public:
    struct Box {
        UINT id;
        bool error;
    };

    bool LoadText(UINT id, WCHAR* out, int chars) override
    {
        if (id != IDS_DESCRIPTION || missingDescription)
            return false;
        lstrcpynW(out, L"Synchronizes computer time with Internet time servers.", chars);
        return true;
    }
    void ShowBox(UINT id, bool error) override { boxes.push_back({id, error}); }

    bool missingDescription = false;
    std::vector<Box> boxes;
};
