#include "timesvc/sync/SyncEngine.h"

#include <aclapi.h>
#include <ws2tcpip.h>

#include <initializer_list>

#include "graphics/system/Restrictions.h"
#include "timesvc/sync/HttpLatest.h"
#include "timesvc/sync/SntpPacket.h"
#include "windows/http/HttpClient.h"

namespace {

const WCHAR kSettingsFile[] = L"tempolan.ini";
const WCHAR kDefaultsFile[] = L"default.ini";
const WCHAR kSection[] = L"common";
const WCHAR kDefaultSection[] = L"default:common";
const DWORD kDefaultHttpWait = 1000;
const DWORD kCleanupWaitMs = 1000;
// The phases of one HTTP request together stay inside the watchdog's time.
const int kHttpPhaseTimeoutMs = 1800;
const int kReplyBufferBytes = 1024;
const WCHAR* kTimeTypes[] = {L"text/html", L"text/plain", L"text/xml", L"application/xml", nullptr};

struct WatchdogStart {
    CSyncEngine* engine;
    HANDLE lock;
    DWORD ms;
    uint32_t attempt;
};

// Everyone may wait on the event; SYSTEM and the administrators own it.
bool OpenEventToEveryone(HANDLE event)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID everyone = nullptr, system = nullptr, admins = nullptr;
    bool done = false;
    if (AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone) &&
        AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system) &&
        AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                 &admins)) {
        EXPLICIT_ACCESSW entries[3] = {};
        PSID sids[3] = {everyone, system, admins};
        DWORD rights[3] = {SYNCHRONIZE, EVENT_ALL_ACCESS, EVENT_ALL_ACCESS};
        for (int i = 0; i < 3; ++i) {
            entries[i].grfAccessPermissions = rights[i];
            entries[i].grfAccessMode = SET_ACCESS;
            entries[i].grfInheritance = NO_INHERITANCE;
            entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
            entries[i].Trustee.TrusteeType = i == 0 ? TRUSTEE_IS_WELL_KNOWN_GROUP : TRUSTEE_IS_GROUP;
            entries[i].Trustee.ptstrName = (LPWSTR)sids[i];
        }
        PACL acl = nullptr;
        if (SetEntriesInAclW(3, entries, nullptr, &acl) == ERROR_SUCCESS) {
            done = SetSecurityInfo(event, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, acl,
                                   nullptr) == ERROR_SUCCESS;
            LocalFree(acl);
        }
    }
    for (PSID sid : {everyone, system, admins})
        if (sid)
            FreeSid(sid);
    return done;
}

}  // namespace

CRealSyncSystem::CRealSyncSystem() : m_folder()
{
    DWORD n = GetModuleFileNameW(nullptr, m_folder, MAX_PATH - 1);
    m_folder[n < MAX_PATH ? n : 0] = 0;
    WCHAR* slash = wcsrchr(m_folder, L'\\');
    if (slash)
        slash[1] = 0;
    else
        m_folder[0] = 0;
}

bool CRealSyncSystem::SetSystemTime(const SYSTEMTIME& utc)
{
    return ::SetSystemTime(&utc) != FALSE;
}

bool CRealSyncSystem::ResolveHost(const char* name, uint32_t* address)
{
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return false;
    *address = ((sockaddr_in*)found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

bool CRealSyncSystem::ReadNoPreferences(DWORD* size, DWORD* value)
{
    CRegKey key;
    // the 32-bit service would otherwise read the redirected key, which the
    // 64-bit programs and the administrator never write
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, 0, KEY_READ | KEY_WOW64_64KEY, key.Receive()) !=
        ERROR_SUCCESS)
        return false;
    BYTE data[16];
    DWORD bytes = sizeof(data);
    if (RegQueryValueExW(key.Get(), kNoPreferencesValue, nullptr, nullptr, data, &bytes) != ERROR_SUCCESS)
        return false;
    *size = bytes;
    *value = bytes == 4 ? *(DWORD*)data : 0;
    return true;
}

CSyncEngine::CSyncEngine(ISyncSystem& system, const SyncVersion& version)
    : m_system(system), m_version(version), m_initialised(false), m_winsock(false), m_socketLock(SRWLOCK_INIT),
      m_socket(INVALID_SOCKET), m_socketAttempt(0), m_abortedAttempt(0), m_attempt(0), m_startTick(0), m_lastCheckTick(0),
      m_defaultMode(false), m_settingsFile(), m_autoSync(false), m_syncType(1), m_httpSyncWait(kDefaultHttpWait),
      m_server()
{
}

CSyncEngine::~CSyncEngine()
{
    SyncCleanup();
}

bool CSyncEngine::SyncInit()
{
    if (m_initialised)
        return true;
    m_lock.Reset(CreateMutexW(nullptr, TRUE, nullptr));
    if (!m_lock)
        return false;
    m_event.Reset(CreateEventW(nullptr, FALSE, FALSE, kTimeEventName));
    WSADATA wsa;
    if (!m_event || !OpenEventToEveryone(m_event.Get()) || WSAStartup(MAKEWORD(2, 0), &wsa) != 0) {
        ReleaseMutex(m_lock.Get());
        SyncCleanup();
        return false;
    }
    m_winsock = true;
    // the HTTP client's proxy settings: this process reads them once
    InitProxyConfig();
    LoadProxyConfig();
    m_initialised = true;
    m_startTick = m_system.TickCount();
    ReleaseMutex(m_lock.Get());
    return true;
}

void CSyncEngine::SyncCleanup()
{
    // the last watchdog ends as soon as the lock is free
    if (m_watchdog) {
        WaitForSingleObject(m_watchdog.Get(), INFINITE);
        m_watchdog.Reset();
    }
    if (m_winsock)
        WSACleanup();
    m_winsock = false;
    m_event.Reset();
    if (m_lock) {
        DWORD wait = WaitForSingleObject(m_lock.Get(), kCleanupWaitMs);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
            ReleaseMutex(m_lock.Get());
        m_lock.Reset();
    }
    m_initialised = false;
}

bool CSyncEngine::UserPreferencesAllowed()
{
    DWORD size = 0, value = 0;
    if (!m_system.ReadNoPreferences(&size, &value))
        return true;
    return !(size == 4 && value == 0);
}

bool CSyncEngine::LoadSyncSettings()
{
    m_defaultMode = !UserPreferencesAllowed();
    const WCHAR* folder = m_system.ProgramFolder();
    wsprintfW(m_settingsFile, L"%s%s", folder, m_defaultMode ? kDefaultsFile : kSettingsFile);
    const WCHAR* section = m_defaultMode ? kDefaultSection : kSection;
    m_autoSync = GetPrivateProfileIntW(section, L"autosync", 0, m_settingsFile) != 0;
    m_syncType = (int)GetPrivateProfileIntW(section, L"synctype", 1, m_settingsFile);
    // a missing key keeps what was read before
    m_httpSyncWait = GetPrivateProfileIntW(section, L"http_sync_wait", m_httpSyncWait, m_settingsFile);
    int index = (int)GetPrivateProfileIntW(section, L"server", 0, m_settingsFile);
    WCHAR key[32];
    wsprintfW(key, L"server%d", index);
    GetPrivateProfileStringW(section, key, L"", m_server, ARRAYSIZE(m_server), m_settingsFile);
    return m_server[0] != 0;
}

void CSyncEngine::WriteSyncResult(int code)
{
    if (m_defaultMode)
        return;
    if (code == SYNC_OK) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        WCHAR stamp[32];
        wsprintfW(stamp, L"%04d%02d%02d%02d%02d%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                  now.wSecond);
        WritePrivateProfileStringW(kSection, L"synclasttime", stamp, m_settingsFile);
    }
    WCHAR text[16];
    wsprintfW(text, L"%d", code);
    WritePrivateProfileStringW(kSection, L"synclastresult", text, m_settingsFile);
    if (m_event)
        SetEvent(m_event.Get());
}

DWORD WINAPI CSyncEngine::SyncWatchdogThread(void* parameter)
{
    WatchdogStart start = *(WatchdogStart*)parameter;
    delete (WatchdogStart*)parameter;
    DWORD wait = WaitForSingleObject(start.lock, start.ms);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
        ReleaseMutex(start.lock);
    else if (wait == WAIT_TIMEOUT)
        start.engine->AbortSntpSocket(start.attempt);
    return 0;
}

void CSyncEngine::AbortSntpSocket(uint32_t attempt)
{
    SOCKET s = INVALID_SOCKET;
    AcquireSRWLockExclusive(&m_socketLock);
    if (attempt != 0)
        m_abortedAttempt = attempt;
    // only the socket of the attempt the watchdog was started for
    if (m_socket != INVALID_SOCKET && (attempt == 0 || m_socketAttempt == attempt)) {
        s = m_socket;
        m_socket = INVALID_SOCKET;
    }
    ReleaseSRWLockExclusive(&m_socketLock);
    if (s != INVALID_SOCKET) {
        shutdown(s, SD_BOTH);
        closesocket(s);
    }
}

int CSyncEngine::RunSync(DWORD watchdogMs)
{
    if (!m_lock)
        return SYNC_NOT_READY;
    if (m_watchdog) {
        WaitForSingleObject(m_watchdog.Get(), INFINITE);
        m_watchdog.Reset();
    }
    DWORD wait = WaitForSingleObject(m_lock.Get(), INFINITE);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED)
        return SYNC_NOT_READY;
    m_lastCheckTick = m_system.TickCount();
    uint32_t attempt = (uint32_t)InterlockedIncrement(&m_attempt);
    WatchdogStart* start = new WatchdogStart{this, m_lock.Get(), watchdogMs, attempt};
    m_watchdog.Reset(CreateThread(nullptr, 0, SyncWatchdogThread, start, 0, nullptr));
    if (!m_watchdog) {
        delete start;
        ReleaseMutex(m_lock.Get());
        return SYNC_NOT_READY;
    }
    int code = wcsncmp(m_server, L"http://", 7) == 0 ? SyncByHttp() : SyncBySntp();
    ReleaseMutex(m_lock.Get());
    return code;
}

bool CSyncEngine::OpenSocket(SOCKET s)
{
    AcquireSRWLockExclusive(&m_socketLock);
    uint32_t attempt = (uint32_t)m_attempt;
    bool open = m_abortedAttempt != attempt;
    if (open) {
        m_socket = s;
        m_socketAttempt = attempt;
    }
    ReleaseSRWLockExclusive(&m_socketLock);
    if (!open)
        closesocket(s);
    return open;
}

bool CSyncEngine::WatchdogFired()
{
    AcquireSRWLockShared(&m_socketLock);
    bool fired = m_abortedAttempt == (uint32_t)m_attempt;
    ReleaseSRWLockShared(&m_socketLock);
    return fired;
}

int CSyncEngine::ReceiveReply(SOCKET s, uint32_t address, uint8_t* reply, int capacity, int* length)
{
    for (;;) {
        sockaddr_in from = {};
        int fromLength = sizeof(from);
        int n = recvfrom(s, (char*)reply, capacity, 0, (sockaddr*)&from, &fromLength);
        if (n == SOCKET_ERROR)
            return SYNC_NO_REPLY;
        // another sender's datagram is no answer: keep waiting
        if (fromLength >= (int)sizeof(from) && from.sin_family == AF_INET && from.sin_addr.s_addr == address &&
            ntohs(from.sin_port) == m_system.SntpPort()) {
            *length = n;
            return SYNC_OK;
        }
    }
}

int CSyncEngine::SyncBySntp()
{
    if (!m_initialised) {
        WriteSyncResult(SYNC_NOT_READY);
        return SYNC_NOT_READY;
    }
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        WriteSyncResult(SYNC_NOT_READY);
        return SYNC_NOT_READY;
    }
    WriteSyncResult(SYNC_IN_PROGRESS);
    if (!OpenSocket(s)) {
        // out of time before the request went: as if no answer came
        WriteSyncResult(SYNC_NO_REPLY);
        return SYNC_NO_REPLY;
    }

    int code;
    char host[129];
    int n = WideCharToMultiByte(CP_ACP, 0, m_server, -1, host, sizeof(host), nullptr, nullptr);
    host[n > 0 ? n - 1 : 0] = 0;
    uint32_t address = inet_addr(host);
    if (address == INADDR_NONE && !m_system.ResolveHost(host, &address))
        address = INADDR_NONE;
    if (address == INADDR_NONE) {
        code = SYNC_NO_HOST;
    } else {
        uint8_t packet[kReplyBufferBytes];
        BuildSntpRequest(packet);
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_system.SntpPort());
        to.sin_addr.s_addr = address;
        int length = 0;
        if (sendto(s, (const char*)packet, (int)kSntpPacketBytes, 0, (sockaddr*)&to, sizeof(to)) == SOCKET_ERROR) {
            // the watchdog may have closed the socket just before: out of time
            code = WatchdogFired() ? SYNC_NO_REPLY : SYNC_SEND_FAILED;
        } else if ((code = ReceiveReply(s, address, packet, sizeof(packet), &length)) == SYNC_OK) {
            SntpTime time;
            if (DecodeSntpReply(packet, (size_t)length, &time) != SntpReplyError::None) {
                code = SYNC_BAD_REPLY;
            } else {
                uint64_t ticks = SntpSecondsToFileTime(time.seconds);
                FILETIME ft = {(DWORD)ticks, (DWORD)(ticks >> 32)};
                SYSTEMTIME utc;
                if (!FileTimeToSystemTime(&ft, &utc)) {
                    code = SYNC_BAD_REPLY;
                } else {
                    utc.wMilliseconds = (WORD)SntpFractionToMs(time.fraction);
                    code = m_system.SetSystemTime(utc) ? SYNC_OK : SYNC_SET_FAILED;
                }
            }
        }
    }
    // closed once: by the watchdog when it took the socket, else here
    AbortSntpSocket(0);
    WriteSyncResult(code);
    return code;
}

int CSyncEngine::SyncByHttp()
{
    WriteSyncResult(SYNC_IN_PROGRESS);
    WCHAR agent[64];
    wsprintfW(agent, L"Tempolan %d.%d.%d", m_version.major, m_version.minor, m_version.build);
    int code;
    {
        // the service has no user section: it goes direct, as the default
        // "inet_scripts" does, and the request's proxy is worked out as usual
        CHttpClient client(agent, true, m_system.ProgramFolder());
        client.SetAcceptTypes(kTimeTypes);
        WinHttpSetTimeouts(client.Session(), kHttpPhaseTimeoutMs, kHttpPhaseTimeoutMs, kHttpPhaseTimeoutMs,
                           kHttpPhaseTimeoutMs);
        // the wait for the answer's headers has a time-out of its own (90 s)
        DWORD answerMs = kHttpPhaseTimeoutMs;
        WinHttpSetOption(client.Session(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &answerMs, sizeof(answerMs));
        SYSTEMTIME lastModified;
        DWORD t0 = m_system.TickCount();
        int status = GetLatest(client, m_server, m_version, &lastModified);
        DWORD t1 = m_system.TickCount();
        if (status == 200 || status == 204) {
            SYSTEMTIME date = client.Date();
            if (date.wYear == 0)
                code = SYNC_BAD_REPLY;
            else if (t1 - t0 > m_httpSyncWait)
                code = SYNC_NO_REPLY;
            else
                code = m_system.SetSystemTime(date) ? SYNC_OK : SYNC_SET_FAILED;
        } else if (status == kLatestBadUrl) {
            code = SYNC_NO_HOST;
        } else if (status == kLatestNoConnection || status == kLatestRequestFailed) {
            // Wine reports the socket's own time-out rather than WinHTTP's
            DWORD error = client.LastError();
            code = error == ERROR_WINHTTP_TIMEOUT || error == WSAETIMEDOUT ? SYNC_NO_REPLY : SYNC_SEND_FAILED;
        } else {
            code = SYNC_NOT_READY;
        }
    }
    WriteSyncResult(code);
    return code;
}
