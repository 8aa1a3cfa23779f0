// The main program's skin cache: each skin is loaded once and shared by the
// windows that show it, counted by reference. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/skin/Graphics.h"

class CVisualStyles;

class CSkinManager : public IGraphicsOwner {
public:
    static const int kMaxSkins = 30;

    // `skinsRoot` (with a trailing backslash; copied) holds the skin folders;
    // `styles` (may be null: no visual styles) outlives the manager. With
    // `deleteAllowed` false, released skins stay cached until ReleaseAll.
    CSkinManager(const WCHAR* skinsRoot, CVisualStyles* styles, bool deleteAllowed = true);
    ~CSkinManager();
    CSkinManager(const CSkinManager&) = delete;
    CSkinManager& operator=(const CSkinManager&) = delete;

    // The cached skin of `name` (ignoring case) or a newly loaded one, with a
    // reference taken for the caller; null for a null name or a full cache.
    // A skin whose folder is missing is cached all the same.
    CGraphics* GetSkin(const WCHAR* name);
    // Gives back one reference. True when that deleted the skin; false for
    // a null or foreign skin and while other references are held.
    bool ReleaseSkin(CGraphics* skin);
    // Deletes every cached skin, whoever still holds it (at exit).
    void ReleaseAll();

    int GetCount() const { return m_count; }
    CGraphics* GetAt(int index) const { return index >= 0 && index < m_count ? m_skins[index] : nullptr; }

    void OnGraphicsDestroyed(CGraphics* graphics) override;
    bool CanDeleteGraphics(CGraphics* graphics) override;

private:
    int IndexOf(const CGraphics* skin) const;
    void RemoveAt(int index);

    WCHAR m_skinsRoot[MAX_PATH];
    CVisualStyles* m_styles;
    CGraphics* m_skins[kMaxSkins];
    int m_count;
    bool m_deleteAllowed;
};
