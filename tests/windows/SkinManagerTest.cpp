#include <gtest/gtest.h>

#include <wctype.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "graphics/skin/Graphics.h"
#include "graphics/skin/MechSkin.h"
#include "graphics/window/Theme.h"
#include "windows/SkinManager.h"
#include "tests/support/FakeThemeApi.h"
#include "tests/support/SkinFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

// An empty skins root: every name other than the built-in looks is a skin
// whose folder is missing.
class SkinManager : public testing::Test {
protected:
    SkinManager() : styles(api) {}

    CFakeThemeApi api;
    CVisualStyles styles;
    CTempFolder root;
};

std::wstring Key(const wchar_t* name)
{
    std::wstring key(name);
    for (wchar_t& c : key)
        c = towlower(c);
    return key;
}

}  // namespace

TEST_F(SkinManager, CachesByNameAndCountsReferences)
{
    enum Op { kGet, kRelease, kFill };
    struct Step {
        Op op;
        const wchar_t* name;
        bool result;  // kGet: a skin came back; kRelease: the skin was deleted
        int count;    // skins cached afterwards
        LONG refs;    // references of the named skin afterwards (when still cached)
    };
    const Step steps[] = {
        {kGet, L"Missing Folder", true, 1, 1},        // cached without its folder
        {kGet, L"MISSING folder", true, 1, 2},        // case differs: the same skin
        {kRelease, L"missing folder", false, 1, 1},   // still held by the other window
        {kRelease, L"Missing Folder", true, 0, 0},    // the last one deletes it
        {kRelease, L"Missing Folder", false, 0, 0},   // gone: nothing left to release
        {kGet, L"Classic Tempolan Style", true, 1, 1},
        {kGet, L"classic tempolan style", true, 1, 2},
        {kFill, nullptr, true, CSkinManager::kMaxSkins, 1},
        {kGet, L"One Too Many", false, CSkinManager::kMaxSkins, 0},
        {kGet, L"CLASSIC Tempolan Style", true, CSkinManager::kMaxSkins, 3},  // a full cache still shares
        {kRelease, L"Skin 0", true, CSkinManager::kMaxSkins - 1, 0},
        {kGet, L"One Too Many", true, CSkinManager::kMaxSkins, 1},           // room again
    };
    CSkinManager manager(root.Path().c_str(), &styles);
    std::map<std::wstring, CGraphics*> held;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.op << " " << (s.name ? s.name : L"fill"));
        if (s.op == kFill) {
            for (int i = 0; manager.GetCount() < CSkinManager::kMaxSkins; ++i) {
                std::wstring name = L"Skin " + std::to_wstring(i);
                CGraphics* skin = manager.GetSkin(name.c_str());
                ASSERT_NE(nullptr, skin);
                held[Key(name.c_str())] = skin;
            }
        } else if (s.op == kGet) {
            CGraphics* skin = manager.GetSkin(s.name);
            ASSERT_EQ(s.result, skin != nullptr);
            if (skin) {
                auto known = held.find(Key(s.name));
                if (known != held.end()) {
                    EXPECT_EQ(known->second, skin);
                }
                held[Key(s.name)] = skin;
                EXPECT_EQ(s.refs, skin->GetRefCount());
                EXPECT_EQ(&manager, skin->GetOwner());
            }
        } else {
            auto known = held.find(Key(s.name));
            CGraphics* skin = known != held.end() ? known->second : nullptr;
            EXPECT_EQ(s.result, manager.ReleaseSkin(skin));
            if (s.result) {
                held.erase(known);
            } else if (skin) {
                EXPECT_EQ(s.refs, skin->GetRefCount());
            }
        }
        EXPECT_EQ(s.count, manager.GetCount());
        for (const auto& entry : held) {
            bool cached = false;
            for (int i = 0; i < manager.GetCount(); ++i)
                cached = cached || manager.GetAt(i) == entry.second;
            EXPECT_TRUE(cached) << entry.first;
        }
    }
    EXPECT_EQ(nullptr, manager.GetSkin(nullptr));
    manager.ReleaseAll();
    EXPECT_EQ(0, manager.GetCount());
}

TEST_F(SkinManager, BorderFollowsTheVisualStyleOnEveryGet)
{
    CSkinManager manager(root.Path().c_str(), &styles);
    struct Case {
        bool active;
        BorderStyle classic, standard;
    };
    const Case cases[] = {
        {false, kBorderRectangle, kBorderNone},
        {true, kBorderRounded, kBorderNone},  // from the cache: the skin is not loaded again
        {false, kBorderRectangle, kBorderNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active);
        styles.SetActive(c.active);
        CGraphics* classic = manager.GetSkin(L"Classic Tempolan Style");
        CGraphics* standard = manager.GetSkin(L"Standard System Clock");
        ASSERT_TRUE(classic && standard);
        EXPECT_EQ(c.classic, classic->GetBorderStyle());
        EXPECT_EQ(c.standard, standard->GetBorderStyle());
    }
    EXPECT_EQ(2, manager.GetCount());
}

TEST_F(SkinManager, KeepsReleasedSkinsWhenDeletingIsOff)
{
    CSkinManager manager(root.Path().c_str(), &styles, false);
    CGraphics* skin = manager.GetSkin(L"Kept");
    ASSERT_NE(nullptr, skin);
    EXPECT_FALSE(manager.ReleaseSkin(skin));
    EXPECT_EQ(0, skin->GetRefCount());
    EXPECT_EQ(skin, manager.GetSkin(L"kept"));
    EXPECT_EQ(1, manager.GetCount());

    // a style the cache does not hold may always go
    CGraphics foreign;
    foreign.SetOwner(&manager);
    foreign.AddRef();
    EXPECT_TRUE(foreign.Release());
    EXPECT_FALSE(manager.ReleaseSkin(&foreign));
    foreign.SetOwner(nullptr);
}

TEST_F(SkinManager, ForgetsASkinDeletedElsewhere)
{
    CSkinManager manager(root.Path().c_str(), &styles);
    CGraphics* first = manager.GetSkin(L"First");
    CGraphics* second = manager.GetSkin(L"Second");
    ASSERT_TRUE(first && second);
    delete first;
    ASSERT_EQ(1, manager.GetCount());
    EXPECT_EQ(second, manager.GetAt(0));
}

// Deleting off (the settings program): released skins stay cached, and a full
// cache makes room for a new name by deleting the oldest one nobody holds.
TEST_F(SkinManager, FullCacheWithDeletingOffEvictsTheOldestUnusedSkin)
{
    const int kNone = -1;
    struct Case {
        const char* what;
        std::vector<int> released;  // skins given back after the cache is filled
        bool loaded;                // the 31st name got a skin
        int evicted;                // the skin that made room for it
    };
    std::vector<int> all;
    for (int i = 0; i < CSkinManager::kMaxSkins; ++i)
        all.push_back(i);
    const Case cases[] = {
        {"all released", all, true, 0},
        {"all held", {}, false, kNone},
        {"older ones held", {9, 5}, true, 5},  // by load order, not by release order
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSkinManager manager(root.Path().c_str(), &styles, false);
        std::vector<CGraphics*> skins;
        for (int i = 0; i < CSkinManager::kMaxSkins; ++i) {
            skins.push_back(manager.GetSkin((L"Skin " + std::to_wstring(i)).c_str()));
            ASSERT_NE(nullptr, skins.back());
        }
        for (int i : c.released)
            EXPECT_FALSE(manager.ReleaseSkin(skins[i]));

        CGraphics* added = manager.GetSkin(L"One More");
        ASSERT_EQ(c.loaded, added != nullptr);
        EXPECT_EQ(CSkinManager::kMaxSkins, manager.GetCount());
        std::set<std::wstring> expected, cached;
        for (int i = 0; i < CSkinManager::kMaxSkins; ++i) {
            if (i != c.evicted)
                expected.insert(L"skin " + std::to_wstring(i));
            cached.insert(Key(manager.GetAt(i)->GetName()));
        }
        if (added) {
            expected.insert(L"one more");
            EXPECT_EQ(added, manager.GetAt(CSkinManager::kMaxSkins - 1));
            EXPECT_EQ(1, added->GetRefCount());
        }
        EXPECT_EQ(expected, cached);
    }
}

// The size asked for limits the face of a newly loaded skin folder.
TEST_F(SkinManager, PassesTheFaceSizeToANewSkin)
{
    ASSERT_TRUE(root.AddFolder(L"Face"));
    ASSERT_TRUE(root.WriteBytes(L"Face\\clkface.bmp", BmpBytes(400, 400, [](int x, int y) {
                                    return x + y < 3 ? RGB(255, 0, 255) : RGB(0x80, 0x80, 0x80);
                                })));
    struct Case {
        int largestFace;
        int faceWidth;
    } cases[] = {
        {0, 400},    // the main program: no limit
        {200, 200},  // the settings program's preview size: shrunk by 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.largestFace);
        CSkinManager manager(root.Path().c_str(), &styles, false);
        auto* skin = dynamic_cast<CMechSkin*>(manager.GetSkin(L"Face", c.largestFace));
        ASSERT_NE(nullptr, skin);
        ASSERT_TRUE(skin->HasFace());
        EXPECT_EQ(c.faceWidth, skin->GetFaceWidth());
    }
}
