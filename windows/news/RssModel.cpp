#include "windows/news/RssModel.h"

bool FeedSubscriberList::Add(HWND window)
{
    for (int i = 0; i < m_count; ++i)
        if (m_windows[i] == window)
            return true;
    if (m_count >= kCapacity)
        return false;
    m_windows[m_count++] = window;
    return true;
}

void FeedSubscriberList::Remove(HWND window)
{
    for (int i = 0; i < m_count; ++i) {
        if (m_windows[i] == window) {
            for (int j = i + 1; j < m_count; ++j)
                m_windows[j - 1] = m_windows[j];
            m_windows[--m_count] = nullptr;
            return;
        }
    }
}

void FeedSubscriberList::Notify(WPARAM code, void* object) const
{
    if (!object)
        return;
    // a handler may subscribe or leave: walk a copy
    HWND windows[kCapacity];
    int count = m_count;
    for (int i = 0; i < count; ++i)
        windows[i] = m_windows[i];
    for (int i = 0; i < count; ++i)
        if (IsWindow(windows[i]))
            SendMessageW(windows[i], UM_RSSCHANGED, code, (LPARAM)object);
}

namespace RSS {

const std::wstring& Item::GetKey() const
{
    if (!guid.empty())
        return guid;
    if (!link.empty())
        return link;
    if (!title.empty())
        return title;
    if (!description.empty())
        return description;
    return link;
}

bool Item::IsSame(const Item& other) const
{
    return lstrcmpiW(guid.c_str(), other.guid.c_str()) == 0 && lstrcmpiW(title.c_str(), other.title.c_str()) == 0;
}

void Item::Assign(const Item& other)
{
    title = other.title;
    link = other.link;
    description = other.description;
    seen = other.seen;
    isNew = other.isNew;
    guid = other.guid;
    channel = other.channel;
}

Channel::Channel(const std::wstring& url) : url(url)
{
    isNew = 0;
}

Channel::~Channel()
{
    for (auto& entry : itemsByKey)
        delete entry.second;
}

int Channel::CountNew() const
{
    int count = 0;
    for (const Item* item : itemsInOrder)
        if (item->isNew)
            ++count;
    return count;
}

}  // namespace RSS
