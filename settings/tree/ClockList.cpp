#include "settings/tree/ClockList.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/clocks/ClockSettings.h"
#include "app/settings/SettingsIni.h"
#include "graphics/records/FixedText.h"
#include "settings/MainProgramLink.h"
#include "settings/tree/NodeTree.h"

namespace {

const int kMissingSectionsEnd = 5;
const uint32_t kClickOpensUrl = 1;
const uint32_t kClickNothing = 0;

std::wstring ClockSection(const SettingsPaths& paths, int number)
{
    return UserSection(paths.userPrefix, (L":clock" + std::to_wstring(number)).c_str());
}

void DeleteSection(const SettingsPaths& paths, const std::wstring& section)
{
    WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, paths.userIni);
}

// The value of `key` in a section block (NUL-separated "key=value" lines);
// false when the key is not there.
bool FindBlockValue(const std::vector<WCHAR>& block, const WCHAR* key, std::wstring* value)
{
    size_t keyChars = wcslen(key);
    for (size_t at = 0; at < block.size() && block[at]; at += wcslen(&block[at]) + 1) {
        const WCHAR* line = &block[at];
        if (_wcsnicmp(line, key, keyChars) == 0 && line[keyChars] == L'=') {
            *value = line + keyChars + 1;
            return true;
        }
    }
    return false;
}

// The section of a clock's old number as it was before the save.
struct OldSection {
    bool readable = true;
    std::vector<WCHAR> content;   // empty: nothing to carry over
};

}  // namespace

int LoadSettingsTree(CNodeTree& tree, const ClockReadContext& context)
{
    tree.ClearTree();
    CTreeNode* pages[] = {new CGeneralNode(), new CIniNode(), new CTimeNode(),
                          new CCalendarNode(), new CNewsNode(), new CTrayNode()};
    for (CTreeNode* page : pages)
        tree.InsertNode(page, nullptr, nullptr);

    const SettingsPaths& paths = *context.paths;
    int missing = 0;
    for (int number = 1; number <= kMaxClocks; ++number) {
        std::wstring section = ClockSection(paths, number);
        std::vector<std::wstring> keys;
        if (!ReadKeyNames(paths.userIni, section.c_str(), &keys) || keys.empty()) {
            if (++missing == kMissingSectionsEnd)
                break;
            continue;
        }
        ClockRecord record = {};
        record.id = (uint32_t)number;
        ReadClockSection(context, section.c_str(), &record);
        auto* node = static_cast<CClockNode*>(
            tree.AddTreeNode(nullptr, nullptr, false, nullptr, ClockPageKind(record.kind)));
        if (!node) {
            FreeClockAlarms(&record);
            break;
        }
        tree.LoadClockNode(node, record);
        FreeClockAlarms(&record);
        missing = 0;
    }
    return tree.ClockCount();
}

void SaveClockList(CNodeTree& tree, const SettingsPaths& paths, IMainProgramLink& link)
{
    // the main program's timer state first, so the sections read below hold it
    link.SaveState();

    // by old id: a cloned clock shares its original's id, and both keep the
    // keys this program does not write
    std::map<uint32_t, OldSection> old;
    for (int i = 0; i < tree.ClockCount(); ++i) {
        CClockNode* clock = tree.Clock(i);
        clock->Exchange(&clock->Record(), true);
        uint32_t id = clock->Record().id;
        if (id == 0 || id > (uint32_t)kMaxClocks || old.count(id))
            continue;
        OldSection& saved = old[id];
        std::wstring section = ClockSection(paths, (int)id);
        std::vector<WCHAR> content;
        // a section that cannot be read whole is neither copied nor deleted
        if (!ReadSectionContent(paths.userIni, section.c_str(), &content)) {
            saved.readable = false;
            continue;
        }
        if (content.size() > 1) {
            saved.content = std::move(content);
            DeleteSection(paths, section);
        }
    }

    int written = 0;
    for (int i = 0; i < tree.ClockCount(); ++i) {
        ClockRecord& record = tree.Clock(i)->Record();
        auto saved = old.find(record.id);
        int number = ++written;
        record.id = (uint32_t)number;
        std::wstring section = ClockSection(paths, number);
        if (saved != old.end() && !saved->second.content.empty()) {
            const std::vector<WCHAR>& content = saved->second.content;
            WritePrivateProfileSectionW(section.c_str(), content.data(), paths.userIni);
            // the main program may have started or stopped the timer meanwhile
            std::wstring running;
            if ((record.kind & kClockTimer) && FindBlockValue(content, L"running", &running))
                record.timerRunning = _wtoi(running.c_str()) != 0 ? 1 : 0;
        } else {
            auto unread = old.find((uint32_t)number);
            // a new clock does not take over a deleted clock's leftover keys
            if (unread == old.end() || unread->second.readable)
                DeleteSection(paths, section);
        }
        if (record.clickAction == kClickOpensUrl && FixedLength(record.clickUrl, FIELD_WIDTH(record.clickUrl)) == 0)
            record.clickAction = kClickNothing;
        WriteClockSection(paths, record);
    }

    if (written == 0) {
        DeleteSection(paths, ClockSection(paths, 1));
        written = 1;
    }
    // a deleted clock's alarms go with it
    for (int number = written + 1; number <= kMaxClocks; ++number) {
        std::wstring section = ClockSection(paths, number);
        DeleteSection(paths, section);
        for (int alarm = 1;; ++alarm) {
            std::wstring name = section + L":alarm" + std::to_wstring(alarm);
            std::vector<std::wstring> keys;
            if (!ReadKeyNames(paths.userIni, name.c_str(), &keys) || keys.empty())
                break;
            DeleteSection(paths, name);
        }
    }
}
