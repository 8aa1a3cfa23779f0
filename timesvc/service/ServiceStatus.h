// The service's one status record, shared by the control handler, the
// heartbeat and the service's thread; each change is reported whole. Once
// stopped was reported, nothing more is.
#pragma once

#include <windows.h>

class IServiceStatusReporter;

class CServiceStatus {
public:
    explicit CServiceStatus(IServiceStatusReporter& reporter);
    CServiceStatus(const CServiceStatus&) = delete;
    CServiceStatus& operator=(const CServiceStatus&) = delete;

    // STOP_PENDING or START_PENDING with a wait hint in ms; check point 0.
    void ReportPending(DWORD state, DWORD waitHintMs);
    // The same, not reported yet.
    void SetPending(DWORD state, DWORD waitHintMs);
    // Pause and continue: the new state unless the service is stopping, in
    // which case the record is reported as it stands.
    void ReportUnlessStopping(DWORD state);
    // SERVICE_STOPPED with the two exit codes.
    void ReportStopped(DWORD win32Error, DWORD specificError);
    // The heartbeat's beat: the check point one further, reported.
    void ReportNextCheckPoint();
    // Reports the record as it stands (after a control that changes nothing).
    void ReportUnchanged();
    // Check point and wait hint back to 0, not reported.
    void ClearProgress();

private:
    void SetLocked(DWORD state, DWORD waitHintMs);
    void ReportLocked();

    IServiceStatusReporter& m_reporter;
    SRWLOCK m_lock;
    SERVICE_STATUS m_status;
    bool m_stopped;
};
