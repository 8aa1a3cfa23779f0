#include "tests/settings/TreeFixture.h"

#include <string.h>

namespace {

using NodeTree = TreeTest;

const uint32_t kCountdownToDate = kClockTimer | kClockCountdown | kClockFixedMoment;

}  // namespace

TEST_F(NodeTree, NewClocksCarryTheirFourChildrenAndTheThirtyFirstIsRefused)
{
    for (int i = 0; i < kMaxClocks; ++i)
        ASSERT_NE(nullptr, AddClock()) << i;
    EXPECT_EQ(kMaxClocks, tree.ClockCount());
    EXPECT_FALSE(tree.CanAddNode(nullptr));
    EXPECT_FALSE(tree.CanAddNode(tree.Clock(0)));
    EXPECT_EQ(nullptr, AddClock());
    // a copy counts as a clock as well
    EXPECT_EQ(nullptr, tree.AddTreeNode(nullptr, nullptr, false, tree.Clock(3), 0));
    EXPECT_FALSE(tree.CanMoveNode(tree.Clock(3), tree.Clock(5), true));
    EXPECT_EQ(kMaxClocks, tree.ClockCount());

    const CClockNode* clock = tree.Clock(0);
    ASSERT_EQ(4u, clock->Children().size());
    const NodeKind order[] = {kNodeDesktop, kNodeFormats, kNodeAlarms, kNodeBackgrounds};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(order[i], clock->Children()[i]->Kind());
        EXPECT_EQ(clock, clock->Children()[i]->Parent());
    }
}

TEST_F(NodeTree, TheThirteenthBackgroundIsRefused)
{
    CClockNode* clock = AddClock();
    CTreeNode* list = clock->Child(kNodeBackgrounds);
    AddEntries(clock, kNodeBackgrounds, kMaxProfiles);
    ASSERT_EQ((size_t)kMaxProfiles, list->Children().size());
    EXPECT_FALSE(tree.CanAddNode(list));
    EXPECT_FALSE(tree.CanAddNode(list->Children()[0]));
    EXPECT_EQ(nullptr, tree.AddTreeNode(list, nullptr, false, nullptr, 0));
    // a background from elsewhere is refused by the list too
    CClockNode* other = AddClock();
    CTreeNode* stranger = AddEntries(other, kNodeBackgrounds, 1);
    EXPECT_FALSE(tree.InsertNode(stranger, list, nullptr));
    EXPECT_EQ(other->Child(kNodeBackgrounds), stranger->Parent());
    // within its own list a full list still reorders
    EXPECT_TRUE(tree.InsertNode(list->Children()[11], list, list->Children()[0]));
    EXPECT_EQ((size_t)kMaxProfiles, list->Children().size());
    // alarms have no such limit, and nothing else goes into a list
    EXPECT_TRUE(tree.CanAddNode(clock->Child(kNodeAlarms)));
    EXPECT_FALSE(tree.InsertNode(stranger, clock->Child(kNodeAlarms), nullptr));
    EXPECT_EQ(nullptr, tree.AddTreeNode(clock->Child(kNodeDesktop), nullptr, false, nullptr, 0));
    EXPECT_EQ(nullptr, tree.AddTreeNode(clock, nullptr, false, nullptr, 0));
}

TEST_F(NodeTree, NewEntriesTakeTheDefaultRecords)
{
    CClockNode* clock = AddClock();
    auto* alarm = static_cast<CAlarmNode*>(AddEntries(clock, kNodeAlarms, 1));
    auto* background = static_cast<CBackgroundNode*>(AddEntries(clock, kNodeBackgrounds, 1));
    const AlarmRecord& a = alarm->Alarm();
    EXPECT_EQ(L"Alarm", Caption(alarm));
    EXPECT_EQ(1, a.enabled);
    EXPECT_EQ(8, a.once.wHour);
    EXPECT_EQ(-15, a.reminderMinutes);
    const ClockProfileRecord& p = background->Profile();
    EXPECT_EQ(L"Background", Caption(background));
    EXPECT_EQ(1u, p.enabled);
    EXPECT_EQ(540u, p.startMinute);
    EXPECT_EQ(1080u, p.endMinute);
    EXPECT_EQ(0x00FF00u, p.color);
    EXPECT_EQ(65, p.weight);
    EXPECT_EQ(127u, p.weekdays);

    // without the language's strings the built-in words stand in
    strings.texts.clear();
    auto* bare = static_cast<CAlarmNode*>(AddEntries(clock, kNodeAlarms, 1));
    EXPECT_EQ(L"Alarm", Caption(bare));
    EXPECT_EQ(L"Background", Caption(AddEntries(clock, kNodeBackgrounds, 1)));
}

TEST_F(NodeTree, PageKindsFollowTheClockKind)
{
    struct Case {
        uint32_t kind;
        int clock, formats, alarm, background;
    } cases[] = {
        {0, kPageClock, kPageFormats, kPageAlarm, kPageBackground},
        {kClockTimer, kPageTimer, kPageTimerFormats, kPageTimerAlarm, kPageTimerBackground},
        {kClockTimer | kClockCountdown, kPageCountdown, kPageTimerFormats, kPageCountdownAlarm,
         kPageCountdownBackground},
        {kClockTimer | kClockFixedMoment, kPageTimer, kPageTimerFormats, kPageDatedAlarm, kPageDatedBackground},
        {kCountdownToDate, kPageCountdown, kPageTimerFormats, kPageDatedAlarm, kPageDatedBackground},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CClockNode* clock = AddClock();
        clock->Record().kind = c.kind;
        EXPECT_EQ(c.clock, clock->GetPageKind());
        EXPECT_EQ(c.formats, clock->Child(kNodeFormats)->GetPageKind());
        EXPECT_EQ(kPageDesktop, clock->Child(kNodeDesktop)->GetPageKind());
        EXPECT_EQ(kPageAlarms, clock->Child(kNodeAlarms)->GetPageKind());
        EXPECT_EQ(kPageBackgrounds, clock->Child(kNodeBackgrounds)->GetPageKind());
        EXPECT_EQ(c.alarm, AddEntries(clock, kNodeAlarms, 1)->GetPageKind());
        EXPECT_EQ(c.background, AddEntries(clock, kNodeBackgrounds, 1)->GetPageKind());
        // the children edit the clock's record
        EXPECT_EQ(&clock->Record(), clock->Child(kNodeFormats)->GetRecord());
    }
}

TEST_F(NodeTree, ClockCaptions)
{
    int berlin = db.FindZoneByName(L"W. Europe Standard Time");
    int utc = db.FindZoneByName(L"UTC");
    int testland = db.FindZoneByName(L"Testland Standard Time");
    ASSERT_GE(berlin, 0);
    ASSERT_GE(utc, 0);
    struct Case {
        int zone;
        uint32_t kind;
        const wchar_t* prefix;
        const wchar_t* location;
        const wchar_t* expected;
    } cases[] = {
        {berlin, 0, L"", L"", L"(UTC+01:00) Amsterdam, Berlin"},
        {berlin, 0, L"Home", L"", L"Home (UTC+01:00)"},
        {utc, 0, L"Ship", L"", L"Ship (UTC)"},
        {testland, 0, L"Field", L"", L"Field (UTC+02:00)"},
        // a countdown to an event named by its location
        {berlin, kCountdownToDate, L"New Year", L"New Year 2027", L"Until New"},
        {berlin, kCountdownToDate, L"Launch,T-0", L"Launch,T-0 at the pad", L"Until Launch"},
        // a location that does not begin with the caption keeps the caption
        {berlin, kCountdownToDate, L"Trip", L"Holiday", L"Trip (UTC+01:00)"},
        {berlin, kClockTimer | kClockCountdown, L"Tea", L"Tea time", L"Tea (UTC+01:00)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.expected)));
        CClockNode* clock = AddClock();
        ClockRecord& r = clock->Record();
        r.zone = db.Zone(c.zone);
        r.kind = c.kind;
        CopyFixed(r.prefix, FIELD_WIDTH(r.prefix), c.prefix);
        CopyFixed(r.location, FIELD_WIDTH(r.location), c.location);
        EXPECT_EQ(c.expected, Caption(clock));
        tree.DeleteNode(clock);
    }

    // the zone's tag is left out when it would not fit; the text is always cut
    CClockNode* clock = AddClock();
    clock->Record().zone = db.Zone(berlin);
    CopyFixed(clock->Record().prefix, FIELD_WIDTH(clock->Record().prefix), L"Office");
    WCHAR small[12];
    clock->GetCaption(small, 12);
    EXPECT_STREQ(L"Office", small);
    WCHAR tiny[4];
    clock->GetCaption(tiny, 4);
    EXPECT_STREQ(L"Off", tiny);
}

TEST_F(NodeTree, ExchangeCarriesExpandedBitsAndGrowsTheArrays)
{
    CClockNode* clock = AddClock();
    AddEntries(clock, kNodeAlarms, 9);
    AddEntries(clock, kNodeBackgrounds, 3);
    clock->SetExpanded(true);
    clock->Child(kNodeBackgrounds)->SetExpanded(true);
    clock->Child(kNodeAlarms)->SetChecked(false);

    ClockRecord& r = clock->Record();
    clock->Exchange(&r, true);
    EXPECT_EQ(1u | 4u, r.expanded);
    ASSERT_EQ(9u, r.alarmCount);
    EXPECT_EQ(0u, r.alarmsEnabled);
    EXPECT_EQ(3u, r.profileCount);
    EXPECT_EQ(1u, r.profilesEnabled);
    EXPECT_EQ(8, r.alarms.ptr[8].once.wHour);
    // the array was grown past the nodes: the heap block holds 16 records
    EXPECT_GE(HeapSize(GetProcessHeap(), 0, r.alarms.ptr), 16 * sizeof(AlarmRecord));

    // loading into another clock builds its entries and flags from the record
    CClockNode* copy = AddClock();
    tree.LoadClockNode(copy, r);
    EXPECT_EQ(9u, copy->Child(kNodeAlarms)->Children().size());
    EXPECT_EQ(3u, copy->Child(kNodeBackgrounds)->Children().size());
    EXPECT_TRUE(copy->IsExpanded());
    EXPECT_FALSE(copy->Child(kNodeAlarms)->IsExpanded());
    EXPECT_TRUE(copy->Child(kNodeBackgrounds)->IsExpanded());
    EXPECT_FALSE(copy->Child(kNodeAlarms)->IsChecked());
    // its own alarm array, not the source's
    EXPECT_NE(r.alarms.ptr, copy->Record().alarms.ptr);
    ASSERT_EQ(9u, copy->Record().alarmCount);

    // removing entries shrinks the counts on the next store
    tree.DeleteNode(clock->Child(kNodeAlarms)->Children()[0]);
    clock->Exchange(&r, true);
    EXPECT_EQ(8u, r.alarmCount);
}

TEST_F(NodeTree, ACloneOwnsNoAlarmArrayAndItsAlarmsAreItsOwn)
{
    CClockNode* source = AddClock();
    AddEntries(source, kNodeAlarms, 2);
    source->Exchange(&source->Record(), true);
    ASSERT_EQ(2u, source->Record().alarmCount);

    ASSERT_TRUE(tree.MoveTreeNode(source, nullptr, true));
    ASSERT_EQ(2, tree.ClockCount());
    CClockNode* clone = tree.Clock(1);
    EXPECT_EQ(2u, clone->Child(kNodeAlarms)->Children().size());
    // the clone's record came without the source's alarm array
    EXPECT_NE(source->Record().alarms.ptr, clone->Record().alarms.ptr);

    auto* alarm = static_cast<AlarmRecord*>(clone->Child(kNodeAlarms)->Children()[0]->GetRecord());
    CopyFixed(alarm->comment, FIELD_WIDTH(alarm->comment), L"Only the copy");
    clone->Exchange(&clone->Record(), true);
    source->Exchange(&source->Record(), true);
    EXPECT_TRUE(FixedEquals(clone->Record().alarms.ptr[0].comment, 78, L"Only the copy"));
    EXPECT_TRUE(FixedEquals(source->Record().alarms.ptr[0].comment, 78, L"Alarm"));
    // deleting the source leaves the clone whole
    tree.DeleteNode(source);
    clone->Exchange(&clone->Record(), true);
    EXPECT_EQ(2u, clone->Record().alarmCount);
}

TEST_F(NodeTree, DeleteRules)
{
    CClockNode* only = AddClock();
    EXPECT_FALSE(tree.CanDeleteNode(only));
    // a new alarm is deletable before its clock ever stored it
    CTreeNode* alarm = AddEntries(only, kNodeAlarms, 1);
    ASSERT_EQ(0u, only->Record().alarmCount);
    EXPECT_TRUE(tree.CanDeleteNode(alarm));
    EXPECT_TRUE(tree.CanDeleteNode(AddEntries(only, kNodeBackgrounds, 1)));
    EXPECT_FALSE(tree.CanDeleteNode(only->Child(kNodeAlarms)));
    EXPECT_FALSE(tree.CanDeleteNode(only->Child(kNodeDesktop)));
    CClockNode* second = AddClock();
    EXPECT_TRUE(tree.CanDeleteNode(only));
    tree.DeleteNode(only);
    EXPECT_EQ(1, tree.ClockCount());
    EXPECT_EQ(second, tree.Clock(0));
    EXPECT_EQ(1, tree.TopCount());
}

// Moves and copies between clocks, as the Up and Down buttons and drag and
// drop ask for them.
TEST_F(NodeTree, MoveAndCopyRules)
{
    enum Target { kNone, kPlainB, kCountdown, kListB, kAlarmB, kBgListB, kFormatsB, kNextAlarm, kSelf };
    struct Case {
        const char* name;
        NodeKind node;      // of plain clock A (its first alarm or background, or the list itself)
        int sourceEntries;  // entries of A's list of that kind
        int targetEntries;  // entries of B's list of that kind
        Target target;
        bool copy;
        bool allowed;
        int movedTo;        // -1: stays; else the index of the node in B's list
    } cases[] = {
        {"background list copied onto a clock with 8: 4 fit", kNodeBackgrounds, 4, 8, kPlainB, true, true, -1},
        {"background list copied onto a clock with 8: 5 do not", kNodeBackgrounds, 5, 8, kPlainB, true, false, -1},
        {"background list copied onto the list", kNodeBackgrounds, 2, 2, kBgListB, true, true, -1},
        {"a list is never moved", kNodeBackgrounds, 2, 2, kPlainB, false, false, -1},
        {"alarm list copied onto another kind", kNodeAlarms, 2, 0, kCountdown, true, false, -1},
        {"alarm moved onto the other clock's list", kNodeAlarm, 1, 2, kListB, false, true, 2},
        {"alarm moved onto the other clock", kNodeAlarm, 1, 2, kPlainB, false, true, 2},
        {"alarm moved before an alarm", kNodeAlarm, 1, 2, kAlarmB, false, true, 0},
        {"alarm copied before an alarm", kNodeAlarm, 1, 2, kAlarmB, true, true, 0},
        {"alarm moved onto a countdown", kNodeAlarm, 1, 0, kCountdown, false, false, -1},
        {"alarm onto the formats node", kNodeAlarm, 1, 0, kFormatsB, false, false, -1},
        {"alarm onto itself", kNodeAlarm, 1, 0, kSelf, false, false, -1},
        {"alarm moved before its next sibling", kNodeAlarm, 2, 0, kNextAlarm, false, false, -1},
        {"background moved into a full list", kNodeBackground, 1, 12, kListB, false, false, -1},
        {"background copied into a full list", kNodeBackground, 1, 12, kBgListB, true, false, -1},
        {"background moved into a list of 11", kNodeBackground, 1, 11, kBgListB, false, true, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree.ClearTree();
        CClockNode* a = AddClock();
        CClockNode* b = AddClock();
        CClockNode* countdown = AddClock(kPageCountdown);
        NodeKind listKind = c.node == kNodeAlarm || c.node == kNodeAlarms ? kNodeAlarms : kNodeBackgrounds;
        AddEntries(a, listKind, c.sourceEntries);
        AddEntries(b, listKind, c.targetEntries);
        CTreeNode* listA = a->Child(listKind);
        CTreeNode* listB = b->Child(listKind);
        CTreeNode* node = c.node == listKind ? listA : listA->Children()[0];
        CTreeNode* target = nullptr;
        switch (c.target) {
        case kNone: break;
        case kPlainB: target = b; break;
        case kCountdown: target = countdown; break;
        case kListB: target = listB; break;
        case kAlarmB: target = listB->Children()[0]; break;
        case kBgListB: target = b->Child(kNodeBackgrounds); break;
        case kFormatsB: target = b->Child(kNodeFormats); break;
        case kNextAlarm: target = listA->Children()[1]; break;
        case kSelf: target = node; break;
        }
        size_t before = listB->Children().size();
        EXPECT_EQ(c.allowed, tree.CanMoveNode(node, target, c.copy));
        if (c.target == kFormatsB)
            continue;  // the button's rule only; the drop's own rule is below
        EXPECT_EQ(c.allowed, tree.MoveTreeNode(node, target, c.copy));
        if (!c.allowed) {
            EXPECT_EQ(before, listB->Children().size());
            continue;
        }
        if (c.node == listKind) {
            EXPECT_EQ(before + c.sourceEntries, listB->Children().size());
            EXPECT_EQ((size_t)c.sourceEntries, listA->Children().size());
        } else if (c.copy) {
            EXPECT_EQ(listA, node->Parent());
            EXPECT_EQ(before + 1, listB->Children().size());
        } else {
            ASSERT_EQ(listB, node->Parent());
            EXPECT_EQ(node, listB->Children()[c.movedTo]);
        }
    }
}

TEST_F(NodeTree, ADropOnAnyNodeOfTheOtherClockAppendsToItsList)
{
    CClockNode* a = AddClock();
    CClockNode* b = AddClock();
    CTreeNode* alarm = AddEntries(a, kNodeAlarms, 1);
    AddEntries(b, kNodeAlarms, 1);
    ASSERT_TRUE(tree.MoveTreeNode(alarm, b->Child(kNodeDesktop), false));
    EXPECT_EQ(b->Child(kNodeAlarms)->Children().back(), alarm);
}

TEST_F(NodeTree, AlarmMovesUpOntoThePreviousClocksList)
{
    CClockNode* first = AddClock();
    CClockNode* second = AddClock();
    AddEntries(first, kNodeAlarms, 2);
    CTreeNode* top = AddEntries(second, kNodeAlarms, 1);
    // Up on the first alarm of a clock: the previous clock's list is the target
    ASSERT_TRUE(tree.MoveTreeNode(top, first->Child(kNodeAlarms), false));
    ASSERT_EQ(3u, first->Child(kNodeAlarms)->Children().size());
    EXPECT_EQ(top, first->Child(kNodeAlarms)->Children()[2]);
    EXPECT_TRUE(second->Child(kNodeAlarms)->Children().empty());
    // back within the list: the last one cannot go further down
    EXPECT_FALSE(tree.CanMoveNode(top, first->Child(kNodeAlarms), false));
    CTreeNode* head = first->Child(kNodeAlarms)->Children()[0];
    EXPECT_TRUE(tree.MoveTreeNode(top, head, false));
    EXPECT_EQ(top, first->Child(kNodeAlarms)->Children()[0]);
}

TEST_F(NodeTree, ClockMovesAndCopies)
{
    CClockNode* plain = AddClock();
    CClockNode* countdown = AddClock(kPageCountdown);
    CClockNode* other = AddClock();
    CopyFixed(plain->Record().prefix, 32, L"P");

    // a copy onto another kind is refused; onto the same kind it goes before the target
    EXPECT_FALSE(tree.MoveTreeNode(plain, countdown, true));
    EXPECT_EQ(3, tree.ClockCount());
    ASSERT_TRUE(tree.MoveTreeNode(plain, other, true));
    ASSERT_EQ(4, tree.ClockCount());
    EXPECT_EQ(L"P", std::wstring(tree.Clock(2)->Record().prefix));
    EXPECT_EQ(other, tree.Clock(3));

    // a move to the end, and before a clock; the pages stay in front
    ASSERT_TRUE(tree.MoveTreeNode(plain, nullptr, false));
    EXPECT_EQ(plain, tree.Clock(3));
    EXPECT_FALSE(tree.CanMoveNode(plain, nullptr, false));  // already last
    ASSERT_TRUE(tree.MoveTreeNode(plain, countdown, false));
    EXPECT_EQ(plain, tree.Clock(0));
    EXPECT_EQ(plain, tree.Top(0));
    // before its own next sibling nothing changes
    EXPECT_FALSE(tree.CanMoveNode(plain, countdown, false));
    EXPECT_EQ(countdown, tree.NextSibling(plain));
    EXPECT_EQ(plain, tree.PrevSibling(countdown));
}

TEST_F(NodeTree, CopyChildrenRefusesAParentAndItself)
{
    CClockNode* clock = AddClock();
    AddEntries(clock, kNodeAlarms, 2);
    CTreeNode* list = clock->Child(kNodeAlarms);
    CNodeTree::CopyChildren(list, list, true);
    CNodeTree::CopyChildren(clock, list, true);
    CNodeTree::CopyChildren(list, clock, true);
    EXPECT_EQ(2u, list->Children().size());
    EXPECT_EQ(4u, clock->Children().size());
}

TEST_F(NodeTree, CheckBoxesAndAddRules)
{
    CClockNode* clock = AddClock();
    CTreeNode* alarms = clock->Child(kNodeAlarms);
    // an empty list has no box
    EXPECT_FALSE(alarms->SetChecked(false));
    EXPECT_TRUE(alarms->IsChecked());
    AddEntries(clock, kNodeAlarms, 1);
    EXPECT_TRUE(alarms->SetChecked(false));
    EXPECT_FALSE(alarms->IsChecked());
    EXPECT_TRUE(clock->SetChecked(true));
    EXPECT_TRUE(clock->SetChecked(false));
    EXPECT_EQ(0, tree.CountEnabledClocks());
    clock->SetChecked(true);
    EXPECT_EQ(1, tree.CountEnabledClocks());
    EXPECT_FALSE(clock->Child(kNodeFormats)->SetChecked(true));

    EXPECT_TRUE(tree.CanAddNode(alarms));
    EXPECT_TRUE(tree.CanAddNode(alarms->Children()[0]));
    EXPECT_FALSE(tree.CanAddNode(clock->Child(kNodeDesktop)));
    clock->Record().id = 7;
    EXPECT_EQ(clock, tree.FindClockById(7));
    EXPECT_EQ(nullptr, tree.FindClockById(8));
    EXPECT_EQ(clock, CNodeTree::GetClockAncestor(alarms->Children()[0]));
}

TEST_F(NodeTree, TemplatesOfDefaultIniMakeTheNewClocks)
{
    WritePrivateProfileStringW(L"default:newcountdown", L"timer_mode", L"-1", paths.defaultIni);
    WritePrivateProfileStringW(L"default:newcountdown", L"duration", L"900", paths.defaultIni);
    WritePrivateProfileStringW(L"default:newcountdown", L"prefix", L"Tea", paths.defaultIni);
    WritePrivateProfileStringW(L"default:newclock", L"prefix", L"Plain", paths.defaultIni);
    WritePrivateProfileStringW(L"default:newclock:alarm1", L"type", L"1", paths.defaultIni);
    WritePrivateProfileStringW(L"default:newclock:alarm1", L"enabled", L"1", paths.defaultIni);
    WritePrivateProfileStringW(L"default:newclock:alarm1", L"daily", L"2026.01.01 07:00:00 1", paths.defaultIni);

    CClockNode* countdown = AddClock(kPageCountdown);
    EXPECT_EQ(kPageCountdown, countdown->GetPageKind());
    EXPECT_EQ(900, countdown->Record().countdownSeconds);
    EXPECT_EQ(L"Tea", std::wstring(countdown->Record().prefix));
    CClockNode* plain = AddClock(kPageClock);
    EXPECT_EQ(L"Plain", std::wstring(plain->Record().prefix));
    EXPECT_EQ(1u, plain->Child(kNodeAlarms)->Children().size());
    EXPECT_EQ(0u, plain->Record().id);
    // a template without its timer keys still gives the kind asked for
    EXPECT_EQ(kPageTimer, AddClock(kPageTimer)->GetPageKind());
}

TEST_F(NodeTree, LanguageChangeFollowsDefaultTextsOnly)
{
    CClockNode* clock = AddClock();
    auto* standard = static_cast<CAlarmNode*>(AddEntries(clock, kNodeAlarms, 1));
    CTreeNode* typed = AddEntries(clock, kNodeAlarms, 1);
    auto* record = static_cast<AlarmRecord*>(typed->GetRecord());
    CopyFixed(record->comment, FIELD_WIDTH(record->comment), L"Dentist");
    // a stored alarm with the default text as its message
    AlarmRecord message = standard->Alarm();
    CopyFixed(message.text, FIELD_WIDTH(message.text), L"Alarm");
    standard->Exchange(&message, false);
    auto* background = static_cast<CBackgroundNode*>(AddEntries(clock, kNodeBackgrounds, 1));
    ClockProfileRecord hours = background->Profile();
    CopyFixed(hours.label, FIELD_WIDTH(hours.label), L"Working hours");
    background->Exchange(&hours, false);

    // a new entry's own default text, worded apart from the stored default
    strings.texts[kStrNewAlarm] = L"New alarm";
    CTreeNode* fresh = AddEntries(clock, kNodeAlarms, 1);
    ASSERT_EQ(L"New alarm", Caption(fresh));

    strings.texts[kStrNewAlarm] = L"Neuer Wecker";
    strings.texts[kStrDefaultAlarmText] = L"Wecker";
    strings.texts[kStrWorkingHours] = L"Arbeitszeit";
    strings.texts[kStrAlarms] = L"Weckrufe";
    tree.RelocalizeTree();

    EXPECT_EQ(L"Wecker", Caption(standard));
    EXPECT_TRUE(FixedEquals(standard->Alarm().text, 260, L"Wecker"));
    EXPECT_EQ(L"Dentist", Caption(typed));
    EXPECT_EQ(L"Neuer Wecker", Caption(fresh));
    EXPECT_EQ(L"Arbeitszeit", Caption(background));
    EXPECT_EQ(L"Weckrufe", Caption(clock->Child(kNodeAlarms)));
    // the clock's record took the new texts
    ASSERT_EQ(3u, clock->Record().alarmCount);
    EXPECT_TRUE(FixedEquals(clock->Record().alarms.ptr[0].comment, 78, L"Wecker"));
    EXPECT_TRUE(FixedEquals(clock->Record().profiles[0].label, 78, L"Arbeitszeit"));
}

// The nodes in a real tree view: items, captions, check boxes and their
// reading back.
TEST_F(NodeTree, TreeViewShowsTheNodes)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND view = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP | TVS_HASBUTTONS | TVS_CHECKBOXES, 0, 0, 200, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, view);
    // the style only takes effect once set after creation
    SetWindowLongW(view, GWL_STYLE, GetWindowLongW(view, GWL_STYLE) | TVS_CHECKBOXES);

    LoadSettingsTree(tree, context);  // the six pages
    CClockNode* clock = AddClock();
    CopyFixed(clock->Record().prefix, 32, L"Home");
    clock->SetChecked(true);
    AddEntries(clock, kNodeAlarms, 1);
    tree.AttachTreeWindow(view);

    ASSERT_NE(nullptr, clock->Item());
    EXPECT_EQ((UINT)tree.TopCount(), TreeView_GetCount(view) - 5u);  // plus desktop, formats, 2 lists, 1 alarm
    WCHAR text[64] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.hItem = clock->Item();
    item.pszText = text;
    item.cchTextMax = 64;
    ASSERT_TRUE(TreeView_GetItem(view, &item));
    EXPECT_STREQ(L"Home", text);
    EXPECT_EQ((LPARAM)clock, item.lParam);
    EXPECT_EQ(kCheckImageOn, item.state >> 12);
    auto image = [&](CTreeNode* node) { return TreeView_GetItemState(view, node->Item(), TVIS_STATEIMAGEMASK) >> 12; };
    EXPECT_EQ(kCheckImageOn, image(clock->Child(kNodeAlarms)));
    EXPECT_EQ(kCheckImageNone, image(clock->Child(kNodeBackgrounds)));
    EXPECT_EQ(kCheckImageNone, image(clock->Child(kNodeDesktop)));

    // the user's click on a box is read into the node
    TreeView_SetItemState(view, clock->Item(), INDEXTOSTATEIMAGEMASK(kCheckImageOff), TVIS_STATEIMAGEMASK);
    clock->ReadCheckState();
    EXPECT_FALSE(clock->IsChecked());

    // a new background gets its item after its list's, and the list its box
    CTreeNode* background = AddEntries(clock, kNodeBackgrounds, 1);
    ASSERT_NE(nullptr, background->Item());
    EXPECT_EQ(clock->Child(kNodeBackgrounds)->Item(), TreeView_GetParent(view, background->Item()));
    EXPECT_EQ(kCheckImageOn, image(clock->Child(kNodeBackgrounds)));

    // moves keep the view in the tree's order
    CClockNode* second = AddClock(kPageClock, clock);
    EXPECT_EQ(second->Item(), TreeView_GetNextSibling(view, tree.Top(5)->Item()));
    EXPECT_EQ(clock->Item(), TreeView_GetNextSibling(view, second->Item()));

    // deleting takes the items along; a detached view keeps none
    tree.DeleteNode(clock);
    EXPECT_EQ((UINT)tree.TopCount() + 4u, TreeView_GetCount(view));
    tree.AttachTreeWindow(nullptr);
    EXPECT_EQ(0u, TreeView_GetCount(view));
    EXPECT_EQ(nullptr, second->Item());
    DestroyWindow(view);
}
