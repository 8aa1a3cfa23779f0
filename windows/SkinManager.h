// The main program's skin cache: each skin is loaded once and shared by the
// windows that show it, counted by reference. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/skin/Graphics.h"

class CVisualStyles;

class CSkinManager : public IGraphicsOwner {
public:
    static constexpr int kMaxSkins = 30;

    // `skinsRoot` (with a trailing backslash; copied) holds the skin folders;
    // `styles` (may be null: no visual styles) outlives the manager. With
    // `deleteAllowed` false, released skins stay cached until ReleaseAll or
    // until a full cache needs the room for another name.
    CSkinManager(const WCHAR* skinsRoot, CVisualStyles* styles, bool deleteAllowed = true);
    ~CSkinManager();
    CSkinManager(const CSkinManager&) = delete;
    CSkinManager& operator=(const CSkinManager&) = delete;

    // The cached skin of `name` (ignoring case) or a newly loaded one, with a
    // reference taken for the caller; null for a null name or a cache full of
    // skins in use. A skin whose folder is missing is cached all the same.
    // `largestFace` limits the face width of a newly loaded skin folder
    // (pixels, 0: no limit); a cached skin keeps the size it was loaded with.
    CGraphics* GetSkin(const WCHAR* name, int largestFace = 0);
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
    // Deletes the oldest skin nobody holds; false when every skin is in use.
    bool EvictUnused();

    WCHAR m_skinsRoot[MAX_PATH];
    CVisualStyles* m_styles;
    CGraphics* m_skins[kMaxSkins];
    int m_count;
    bool m_deleteAllowed;
};
