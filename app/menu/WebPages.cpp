#include "app/menu/WebPages.h"

#include <stdio.h>

#include "app/main/MainSeams.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Restrictions.h"
#include "graphics/protocol/WebSites.h"

namespace {

const WCHAR kProductSite[] = L"https://tempolan.kestrin-group.com/";
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

bool IsPlain(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '-';
}

}  // namespace

int UrlEncode(const WCHAR* text, WCHAR* target, int targetChars)
{
    static const char kHex[] = "0123456789ABCDEF";
    if (!target || targetChars <= 0)
        return 0;
    int length = 0;
    for (const WCHAR* p = text; p && *p; ++p) {
        unsigned char bytes[4];
        int count = 0;
        WCHAR c = *p;
        if (IsPlain(c) || c == ' ') {
            if (length + 1 >= targetChars)
                break;
            target[length++] = c == ' ' ? L'+' : c;
            continue;
        }
        // one code point: a surrogate pair as one, a lone half as U+FFFD
        unsigned code = c;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            code = 0x10000 + ((c - 0xD800u) << 10) + (p[1] - 0xDC00u);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code <= 0xFF) {
            bytes[count++] = (unsigned char)code;
        } else if (code <= 0x7FF) {
            bytes[count++] = (unsigned char)(0xC0 | (code >> 6));
            bytes[count++] = (unsigned char)(0x80 | (code & 0x3F));
        } else if (code <= 0xFFFF) {
            bytes[count++] = (unsigned char)(0xE0 | (code >> 12));
            bytes[count++] = (unsigned char)(0x80 | ((code >> 6) & 0x3F));
            bytes[count++] = (unsigned char)(0x80 | (code & 0x3F));
        } else {
            bytes[count++] = (unsigned char)(0xF0 | (code >> 18));
            bytes[count++] = (unsigned char)(0x80 | ((code >> 12) & 0x3F));
            bytes[count++] = (unsigned char)(0x80 | ((code >> 6) & 0x3F));
            bytes[count++] = (unsigned char)(0x80 | (code & 0x3F));
        }
        // never half of a character's bytes
        if (length + 3 * count >= targetChars)
            break;
        for (int i = 0; i < count; ++i) {
            target[length++] = L'%';
            target[length++] = kHex[bytes[i] >> 4];
            target[length++] = kHex[bytes[i] & 15];
        }
        if (code > 0xFFFF)
            ++p;
    }
    target[length] = 0;
    return length;
}

DWORD ReadAffiliateId()
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
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

bool OpenWebPage(int index, IProgramStarter& starter)
{
    WCHAR address[kWebAddressChars];
    return FormatWebPage(index, ReadAffiliateId(), address) && starter.Start(address, nullptr, nullptr);
}
