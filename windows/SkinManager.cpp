#include "windows/SkinManager.h"

#include "graphics/skin/MechSkin.h"
#include "graphics/skin/Skin.h"
#include "graphics/window/Theme.h"

CSkinManager::CSkinManager(const WCHAR* skinsRoot, CVisualStyles* styles, bool deleteAllowed)
    : m_skinsRoot(), m_styles(styles), m_skins(), m_count(0), m_deleteAllowed(deleteAllowed)
{
    // too long a root finds no skin folder, as CSkin does
    if (skinsRoot && wcslen(skinsRoot) < MAX_PATH)
        wcscpy(m_skinsRoot, skinsRoot);
}

CSkinManager::~CSkinManager()
{
    ReleaseAll();
}

CGraphics* CSkinManager::GetSkin(const WCHAR* name, int largestFace)
{
    if (!name)
        return nullptr;
    CGraphics* skin = nullptr;
    // newest first: the skin asked for last is the likeliest
    for (int i = m_count - 1; i >= 0 && !skin; --i)
        if (SameStyleName(m_skins[i]->GetName(), name))
            skin = m_skins[i];
    if (skin) {
        skin->AddRef();
    } else {
        // released skins are only left in the array when deleting is off
        if (m_count == kMaxSkins && (m_deleteAllowed || !EvictUnused()))
            return nullptr;
        if (IsBuiltInStyleName(name))
            skin = new CSkin(m_skinsRoot, m_styles);
        else
            skin = new CMechSkin(m_skinsRoot, largestFace, m_styles);
        skin->SetOwner(this);
        // a skin without its folder draws with its defaults and stays cached
        // under the name, so that it is not looked for again on every window
        skin->Load(name, 0, 8, 0, 0);
        m_skins[m_count++] = skin;
        skin->AddRef();
    }
    // the frame follows the visual style of the moment, also for a cached skin
    if (skin->GetBorderStyle() != kBorderNone)
        skin->SetBorderStyle(m_styles && m_styles->Active() ? kBorderRounded : kBorderRectangle);
    return skin;
}

bool CSkinManager::ReleaseSkin(CGraphics* skin)
{
    if (!skin || IndexOf(skin) < 0)
        return false;
    if (!skin->Release())
        return false;
    RemoveAt(IndexOf(skin));
    delete skin;
    return true;
}

void CSkinManager::ReleaseAll()
{
    while (m_count > 0) {
        CGraphics* skin = m_skins[m_count - 1];
        // out of the array first: the destructor tells us again
        RemoveAt(m_count - 1);
        delete skin;
    }
}

void CSkinManager::OnGraphicsDestroyed(CGraphics* graphics)
{
    int index = IndexOf(graphics);
    if (index >= 0)
        RemoveAt(index);
}

bool CSkinManager::CanDeleteGraphics(CGraphics* graphics)
{
    return IndexOf(graphics) < 0 || m_deleteAllowed;
}

int CSkinManager::IndexOf(const CGraphics* skin) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_skins[i] == skin)
            return i;
    return -1;
}

void CSkinManager::RemoveAt(int index)
{
    for (int i = index + 1; i < m_count; ++i)
        m_skins[i - 1] = m_skins[i];
    m_skins[--m_count] = nullptr;
}

bool CSkinManager::EvictUnused()
{
    // load order: the lowest index is the oldest
    for (int i = 0; i < m_count; ++i) {
        CGraphics* skin = m_skins[i];
        if (skin->GetRefCount() == 0) {
            // out of the array first: the destructor tells us again
            RemoveAt(i);
            delete skin;
            return true;
        }
    }
    return false;
}
