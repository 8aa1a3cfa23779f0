#include "app/menu/WebPages.h"

#include <stdio.h>

#include "app/main/MainSeams.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Restrictions.h"
#include "graphics/protocol/WebSites.h"

namespace {

const WCHAR kMakerSite[] = L"https://www.kestrin-group.com/";

struct WebPage {
    const WCHAR* site;
    const WCHAR* path;  // "%s": the affiliate's prefix
};

const WebPage kPages[] = {
    {kProductSite, L"cms/%supdate.htm"},
    {kProductSite, L"cms/%sforms/feedback.htm"},
    {kProductSite, L"cms/%suser_guide.htm"},
    {kProductSite, L"cms/%soverview.htm"},
    {kMakerSite, L""},
    {kMakerSite, L""},
    {kMakerSite, L"forum/viewforum.php?f=2"},
    {kProductSite, L"cms/%sforms/feature_request.htm"},
    {kCityZoneSite, L""},
    {kCityPhotoSite, L"cms/"},
    {kProductSite, L"cms/faq.htm"},
};

}  // namespace

DWORD ReadAffiliateId(HKEY machine)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(machine, kProgramMachineKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return 0;
    CRegKey key(opened);
    DWORD value = 0, type = 0, size = sizeof(value);
    if (RegQueryValueExW(key.Get(), L"affiliate_id", nullptr, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return 0;
    return value;
}

bool FormatWebPage(int index, DWORD affiliateId, WCHAR* out)
{
    out[0] = 0;
    if (index < 1 || index > (int)ARRAYSIZE(kPages))
        return false;
    WCHAR prefix[16] = L"";
    if (affiliateId != 0)
        _snwprintf(prefix, ARRAYSIZE(prefix), L"%d/", (int)affiliateId);
    WCHAR path[256];
    _snwprintf(path, ARRAYSIZE(path), kPages[index - 1].path, prefix);
    path[ARRAYSIZE(path) - 1] = 0;
    _snwprintf(out, kWebAddressChars, L"%s%s", kPages[index - 1].site, path);
    out[kWebAddressChars - 1] = 0;
    return true;
}

bool OpenWebPage(int index, IProgramStarter& starter, HKEY machine)
{
    WCHAR address[kWebAddressChars];
    return FormatWebPage(index, ReadAffiliateId(machine), address) && starter.Start(address, nullptr, nullptr);
}
