// The news reader's model: a feed as an RSS::Channel that owns its items.
// GUI thread only.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

// Sent (SendMessageW) to the windows that subscribe to a feed's changes;
// lParam the RSS::Item or RSS::Channel concerned, wParam one of the codes.
const UINT UM_RSSCHANGED = WM_USER + 100;
const WPARAM kRssItemAdded = 1;
const WPARAM kRssItemRemoved = 2;  // sent before the item is deleted
const WPARAM kRssItemChanged = 3;  // changed, or found again and still new
const WPARAM kRssChannelParsed = 4;

// The windows that show news, told of every change to any feed.
class FeedSubscriberList {
public:
    static const int kCapacity = 8;

    // True when `window` is listed afterwards; false when the list is full.
    bool Add(HWND window);
    void Remove(HWND window);
    // UM_RSSCHANGED to each listed window that still exists; nothing for a
    // null object.
    void Notify(WPARAM code, void* object) const;
    int Count() const { return m_count; }

private:
    HWND m_windows[kCapacity] = {};
    int32_t m_count = 0;
};

namespace RSS {

class Channel;

class Element {
public:
    Element() = default;
    virtual ~Element() = default;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    BYTE seen = 1;  // item: in the latest parse; channel: named by the settings
    std::wstring title;  // entities decoded
    std::wstring link;
    std::wstring description;  // as the feed has it (HTML allowed)
    BYTE isNew = 1;  // item: new or changed in the latest parse; channel: has such an item
    INT32 position = 0;  // item: place in the latest parse; channel: place in the settings
};

class Item : public Element {
public:
    // The guid, else the link, the title, the description; else the empty link.
    const std::wstring& GetKey() const;
    // Same guid and same title, case ignored.
    bool IsSame(const Item& other) const;
    // Copies the texts, the flags, the guid and the channel.
    void Assign(const Item& other);

    Channel* channel = nullptr;  // not owned
    std::wstring guid;
};

class Channel : public Element {
public:
    explicit Channel(const std::wstring& url);
    ~Channel() override;

    // Items in order whose new flag is set.
    int CountNew() const;

    INT32 feedTtl = 60;  // minutes, at least 3
    std::wstring url;
    std::wstring version;  // the root's "version"
    std::wstring cachePath;
    INT32 refreshInterval = -60;  // minutes; negative: the feed ttl counts
    INT32 lastJob = 0;
    BYTE enabled = 1;
    BYTE parsed = 0;  // the latest parse succeeded
    BYTE expanded = 1;
    std::map<std::wstring, Item*> itemsByKey;  // owned; ordinal order
    std::vector<Item*> itemsInOrder;  // of the latest parse; not owned
    SYSTEMTIME fileTime = {};  // UTC, the cache file's last write when last read
    FeedSubscriberList* subscribers = nullptr;  // the registry's; null: nobody listens
};

}  // namespace RSS
