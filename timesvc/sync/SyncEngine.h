// Sets the computer's clock from the configured time server, by SNTP or from
// an HTTP answer's Date, writes each attempt's outcome into the settings file
// and signals the time event that the settings program waits on. One engine
// per process; RunSync may be called from any one thread at a time.
#pragma once

#include <stdint.h>
#include <winsock2.h>
#include <windows.h>

#include "graphics/protocol/TimeServiceProtocol.h"
#include "graphics/system/Handles.h"

// Results, written as "synclastresult".
const int SYNC_OK = 0;
const int SYNC_SEND_FAILED = 129;
const int SYNC_NO_HOST = 130;
const int SYNC_NOT_READY = 131;
const int SYNC_IN_PROGRESS = 133;
const int SYNC_BAD_REPLY = 134;
const int SYNC_NO_REPLY = 135;
const int SYNC_SET_FAILED = 250;

const DWORD kSyncWatchdogMs = 8000;

// What the engine reaches outside itself; tests replace each part.
class ISyncSystem {
public:
    // UTC; false when the system refused it.
    virtual bool SetSystemTime(const SYSTEMTIME& utc) = 0;
    // An IPv4 address in network order for a host name; false when none.
    virtual bool ResolveHost(const char* name, uint32_t* address) = 0;
    virtual uint16_t SntpPort() = 0;
    // The machine-wide "no_preferences" value: false when the key or the
    // value is missing; else its size and, for 4 bytes, its value.
    virtual bool ReadNoPreferences(DWORD* size, DWORD* value) = 0;
    virtual DWORD TickCount() = 0;
    // With a trailing backslash.
    virtual const WCHAR* ProgramFolder() = 0;

protected:
    ~ISyncSystem() = default;
};

// The system's own: SetSystemTime, the resolver, port 123, the registry,
// GetTickCount and the running program's folder.
class CRealSyncSystem : public ISyncSystem {
public:
    CRealSyncSystem();
    bool SetSystemTime(const SYSTEMTIME& utc) override;
    bool ResolveHost(const char* name, uint32_t* address) override;
    uint16_t SntpPort() override { return 123; }
    bool ReadNoPreferences(DWORD* size, DWORD* value) override;
    DWORD TickCount() override { return GetTickCount(); }
    const WCHAR* ProgramFolder() override { return m_folder; }

private:
    WCHAR m_folder[MAX_PATH];
};

struct SyncVersion {
    int major, minor, build;
};

class CSyncEngine {
public:
    // `version` goes into the user agent and the URL template.
    CSyncEngine(ISyncSystem& system, const SyncVersion& version);
    ~CSyncEngine();
    CSyncEngine(const CSyncEngine&) = delete;
    CSyncEngine& operator=(const CSyncEngine&) = delete;

    bool SyncInit();
    void SyncCleanup();
    // True when a server is configured.
    bool LoadSyncSettings();
    bool UserPreferencesAllowed();
    int RunSync(DWORD watchdogMs);
    void WriteSyncResult(int code);
    int SyncBySntp();
    int SyncByHttp();
    // Closes the open SNTP socket of attempt `attempt` (0: whichever is open).
    void AbortSntpSocket(uint32_t attempt = 0);

    bool IsDefaultMode() const { return m_defaultMode; }
    bool AutoSync() const { return m_autoSync; }
    int SyncType() const { return m_syncType; }
    DWORD HttpSyncWait() const { return m_httpSyncWait; }
    const WCHAR* Server() const { return m_server; }
    const WCHAR* SettingsFile() const { return m_settingsFile; }
    DWORD StartTick() const { return m_startTick; }
    DWORD LastCheckTick() const { return m_lastCheckTick; }
    void SetLastCheckTick(DWORD tick) { m_lastCheckTick = tick; }
    // The system's ticks, as the start and last-check ticks count them.
    DWORD TickCount() { return m_system.TickCount(); }
    // With a trailing backslash.
    const WCHAR* ProgramFolder() { return m_system.ProgramFolder(); }

private:
    static DWORD WINAPI SyncWatchdogThread(void* parameter);
    // Hands the socket to the watchdog's reach; false when the attempt's
    // watchdog has already fired.
    bool OpenSocket(SOCKET s);
    // Whether the running attempt's watchdog has fired.
    bool WatchdogFired();
    // Reads one reply from the server's address and port into `reply`.
    int ReceiveReply(SOCKET s, uint32_t address, uint8_t* reply, int capacity, int* length);

    ISyncSystem& m_system;
    SyncVersion m_version;
    bool m_initialised;
    bool m_winsock;
    CKernelHandle m_lock;
    CKernelHandle m_event;
    CKernelHandle m_watchdog;
    // The open SNTP socket and the attempt it belongs to, under m_socketLock.
    SRWLOCK m_socketLock;
    SOCKET m_socket;
    uint32_t m_socketAttempt;
    uint32_t m_abortedAttempt;  // a watchdog fired for it, maybe before its socket was open
    volatile LONG m_attempt;
    DWORD m_startTick;
    DWORD m_lastCheckTick;
    bool m_defaultMode;
    WCHAR m_settingsFile[MAX_PATH + 16];
    bool m_autoSync;
    int m_syncType;
    DWORD m_httpSyncWait;
    WCHAR m_server[128];
};
