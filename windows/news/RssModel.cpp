#include "windows/news/RssModel.h"

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
