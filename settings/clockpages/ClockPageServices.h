// What the clock, desktop and formats pages work with beyond the settings
// dialog's services: the zone table, the city list, the skins, the preview
// and the boxes they open. GUI thread only; every pointer outlives the pages.
#pragma once

#include <windows.h>

#include "graphics/clock/Clock.h"
#include "settings/dialog/FileBox.h"

class CCityList;
class CPreviewClock;
class CPreviewPainter;
class CSkinManager;
class CZoneDatabase;
class ILocalZoneSource;
struct CityRecord;

// The location chooser, run modal from the clock page. Its answer comes to
// the page during the run as UM_MAPSELECTCITY or UM_ZONEPICKED, sent with
// SendPointerMessage.
class ILocationChooser {
public:
    virtual ~ILocationChooser() = default;
    // `start` (may be null) is the city the page names now. True when the
    // chooser ended with a positive result.
    virtual bool ChooseLocation(HWND page, const CityRecord* start) = 0;
    // The chooser's window while one is open, else null.
    virtual HWND ChooserWindow() = 0;
};

struct ClockPageServices {
    CZoneDatabase* zones;           // the zone table; record 0 is the computer's zone
    const CCityList* cities;
    ILocalZoneSource* localZone;    // the computer's zone for a place that names none
    CSkinManager* skins;            // the skins the formats page asks about their faces
    CPreviewClock* preview;         // null: the pages show no preview
    ClockContext previewContext;    // what the preview's clock objects are built with
    CPreviewPainter* painter;       // null: the preview's place is an empty frame
    ILocationChooser* chooser;      // null: the location button does nothing
    IFileOpenBox* fileBox;          // null: the browse button does nothing
};
