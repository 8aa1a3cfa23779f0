// The build date and file version of the main program, and the "last_build"
// text made of them.
#pragma once

#include <stddef.h>
#include "graphics/records/WinTypes.h"

struct BuildInfo {
    SYSTEMTIME buildDate;
    VS_FIXEDFILEINFO fileVersion;
};

class IBuildInfoSource {
public:
    virtual ~IBuildInfoSource() = default;
    virtual bool GetBuildInfo(BuildInfo* info) = 0;
};

// The VERSIONINFO of a program file; the build date is the link time stamp
// of its PE header (UTC), or, for a file linked without one, the moment this
// library was compiled (the compiler's __DATE__ and __TIME__).
class CFileBuildInfo : public IBuildInfoSource {
public:
    explicit CFileBuildInfo(const WCHAR* programFile);
    bool GetBuildInfo(BuildInfo* info) override;

private:
    WCHAR m_file[260];
};

// The running program's own build; zero when its file cannot be read.
BuildInfo ReadProgramBuild();

// The link time stamp (seconds since 1970, UTC) in the first bytes of a PE
// file; false when they hold no PE header or the stamp is 0.
bool ReadPeTimeStamp(const uint8_t* bytes, size_t size, uint32_t* stamp);

// The compiler's "Mmm dd yyyy" and "hh:mm:ss"; the day of the week is filled in.
bool ParseCompilerDate(const char* date, const char* time, SYSTEMTIME* out);

// Appends "5.3.1 x64", the first three parts of the file version and the
// platform, to the terminated `text` of `chars` characters (cut to fit).
void AppendVersionText(const VS_FIXEDFILEINFO& version, WCHAR* text, size_t chars);
