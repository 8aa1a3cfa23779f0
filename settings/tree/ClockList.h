// The clock list between the settings tree and the user's clock sections.
#pragma once

#include "graphics/records/SettingsPaths.h"

class CNodeTree;
class IMainProgramLink;
struct ClockReadContext;

// Rebuilds the tree: the six page nodes, then a clock node for each of the
// user's clock sections 1 to 30 that holds a key, with its ids as read. The
// scan ends at the fifth missing section in a row. Returns the clock count.
int LoadSettingsTree(CNodeTree& tree, const ClockReadContext& context);

// Writes the tree's clocks as sections 1..n in display order, after the main
// program saved its running state. Keys the settings program does not know
// follow their clock to its new number; sections above n are deleted.
void SaveClockList(CNodeTree& tree, const SettingsPaths& paths, IMainProgramLink& link);
