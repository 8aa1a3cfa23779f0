// What the settings merge needs from outside the settings files: the time
// service, told to read its settings again, and the names of the local zone.
#pragma once

#include <windows.h>

#include "graphics/protocol/TimeServiceProtocol.h"

class CZoneDatabase;

class ITimeServiceControl {
public:
    // Sends a user control code to the running service; false when it cannot be reached.
    virtual bool SendControl(DWORD code) = 0;
    virtual ~ITimeServiceControl() = default;
};

// Stands in until the service control exists: reaches no service and fails.
class CNoTimeServiceControl : public ITimeServiceControl {
public:
    bool SendControl(DWORD code) override { return false; }
};

class ILocalZoneNames {
public:
    // Registry name of the computer's zone (valueName null) or a value of its
    // registry key ("Display"); returns the length, 0 when unknown.
    virtual int GetLocalRegistryZoneName(WCHAR* buffer, int chars, const WCHAR* valueName) const = 0;
    virtual ~ILocalZoneNames() = default;
};

// The zone database's answer; the database must outlive this object.
class CZoneDatabaseNames : public ILocalZoneNames {
public:
    explicit CZoneDatabaseNames(const CZoneDatabase& db) : m_db(db) {}
    int GetLocalRegistryZoneName(WCHAR* buffer, int chars, const WCHAR* valueName) const override;

private:
    const CZoneDatabase& m_db;
};
