// Fakes of what the settings loads and writes reach outside the files: the
// active language, the autostart entry and the time service.
#pragma once

#include <string>
#include <vector>

#include "app/settings/Autostart.h"
#include "app/settings/MainSettings.h"
#include "app/settings/SettingsSeams.h"

class CFakeActiveLanguage : public IActiveLanguage {
public:
    const WCHAR* GetCode() const override { return code.c_str(); }
    LCID GetLcid() const override { return 1033; }
    void Activate(const WCHAR* newCode, const WCHAR* folder) override
    {
        code = newCode;
        activations.push_back(std::wstring(newCode) + L"|" + folder);
    }
    std::wstring code = L"fr";
    std::vector<std::wstring> activations;
};

// Records the calls ("set <path>", "remove") and keeps the Run value as the
// registry would; with `succeed` false every call fails and changes nothing.
class CFakeAutostart : public IAutostartEntry {
public:
    bool Set(const WCHAR* programFile) override
    {
        calls.push_back(std::wstring(L"set ") + programFile);
        if (!succeed)
            return false;
        value = programFile;
        present = true;
        return true;
    }
    bool Remove() override
    {
        calls.push_back(L"remove");
        if (!succeed)
            return false;
        value.clear();
        present = false;
        return true;
    }
    std::vector<std::wstring> calls;
    std::wstring value;
    bool present = false;
    bool succeed = true;
};

// Records the codes; with `succeed` false the service refuses them.
class CFakeTimeService : public ITimeServiceControl {
public:
    bool SendControl(DWORD code) override
    {
        codes.push_back(code);
        return succeed;
    }
    std::vector<DWORD> codes;
    bool succeed = true;
};

// The seams of a CMainSettings over `paths` with these fakes; every argument
// must outlive the settings.
inline MainSettingsSeams FakeMainSettingsSeams(const SettingsPaths& paths, CFakeActiveLanguage& language,
                                               CFakeAutostart& autostart, CFakeTimeService& service)
{
    MainSettingsSeams seams = {};
    seams.paths = &paths;
    seams.language = &language;
    seams.autostart = &autostart;
    seams.service = &service;
    seams.clocks.paths = &paths;
    return seams;
}
