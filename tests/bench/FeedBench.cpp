// ParseFeedFile of a 2 MB RSS 2.0 feed of 2,000 items, into an empty channel
// and again over the same file (every item found and the same), against a
// bare MSXML 3.0 load of the same file. The file is written at start into
// the temporary folder and removed at the end.
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include <msxml2.h>
#include <ole2.h>

#include "graphics/system/Handles.h"
#include "windows/news/FeedParser.h"

namespace {

const int kItems = 2000;
const int kRuns = 9;

std::string MakeFeed()
{
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                       "<title>Bench</title><link>http://example.com/</link><description>Bench feed</description>";
    std::string body(900, 'b');
    for (int i = 0; i < kItems; ++i)
        feed += "<item><title>Item " + std::to_string(i) + " &amp;amp; more</title><link>http://example.com/" +
                std::to_string(i) + "</link><guid>id-" + std::to_string(i) + "</guid><description>" + body +
                "</description></item>\n";
    return feed + "</channel></rss>\n";
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return (double)(b.QuadPart - a.QuadPart) / (double)freq.QuadPart;
}

// The median of `kRuns` timings of `fn`; false when any run failed.
template <class Fn>
bool Median(Fn fn, double* median)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        if (!fn())
            return false;
        QueryPerformanceCounter(&t1);
        times.push_back(Seconds(t0, t1));
    }
    std::sort(times.begin(), times.end());
    *median = times[kRuns / 2];
    return true;
}

bool BareLoad(const WCHAR* path)
{
    CComRef<IXMLDOMDocument> doc;
    if (FAILED(CoCreateInstance(kDomDocument30, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument,
                                (void**)doc.Receive())) ||
        FAILED(doc.Get()->put_async(VARIANT_FALSE)))
        return false;
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(path);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT hr = doc.Get()->load(source, &loaded);
    VariantClear(&source);
    return hr == S_OK && loaded == VARIANT_TRUE;
}

}  // namespace

int main()
{
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    WCHAR folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"tl_feed_bench_" + std::to_wstring(GetCurrentProcessId()) + L".xml";
    std::string feed = MakeFeed();
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    bool ok = file && WriteFile(file.Get(), feed.data(), (DWORD)feed.size(), &written, nullptr) &&
              written == feed.size();
    file.Reset();

    double bare = 0, fresh = 0, again = 0;
    RSS::Channel same(L"http://example.com/");
    ok = ok && Median([&] { return BareLoad(path.c_str()); }, &bare) &&
         Median([&] {
             RSS::Channel channel(L"http://example.com/");
             return ParseFeedFile(&channel, path.c_str(), false) && channel.itemsInOrder.size() == (size_t)kItems;
         }, &fresh) &&
         ParseFeedFile(&same, path.c_str(), false) &&
         Median([&] { return ParseFeedFile(&same, path.c_str(), false) && same.CountNew() == 0; }, &again);
    DeleteFileW(path.c_str());
    OleUninitialize();
    if (!ok) {
        printf("feed_bench: a load or parse failed\n");
        return 1;
    }
    printf("feed_bench: %.1f MB, %d items; median of %d\n", feed.size() / 1048576.0, kItems, kRuns);
    printf("  bare MSXML 3.0 load       %8.1f ms (anchor)\n", bare * 1000);
    printf("  ParseFeedFile, new channel %7.1f ms  ratio %.2f (goal <= 1.5)\n", fresh * 1000, fresh / bare);
    printf("  ParseFeedFile, same file   %7.1f ms  ratio %.2f (goal <= 1.5)\n", again * 1000, again / bare);
    return 0;
}
