// The location chooser: the clock page's modal window in which the user
// picks a city, or in zone mode a zone, with the 3-D map beside the list
// when the map library can be bound. It answers the page that opened it.
// GUI thread only; one chooser at a time.
#pragma once

#include <windows.h>

#include <memory>

#include "graphics/records/SettingsPaths.h"
#include "settings/clockpages/ClockPageServices.h"
#include "windows/map/MapLibraryLoader.h"

class CCityList;
class CMapHostCore;
class CSettingsFrame;
class CZoneDatabase;
class IMainProgramLink;
class ILanguageStrings;
class IProgramStarter;
struct SettingsBlock;

// A chooser closed by its close box, its OK or Cancel, or a second start.
const INT_PTR kChooserClosed = 16;

// Every pointer must outlive the chooser.
struct LocationChooserServices {
    const SettingsPaths* paths;       // the map library's folder, the settings file, the user's prefix
    const ILanguageStrings* strings;  // the title and the pane's texts
    HINSTANCE program;                // the chooser's icon
    CCityList* cities;                // the library keeps its address: never reloaded
    const CZoneDatabase* zones;
    SettingsBlock* settings;          // map-available bit, clouds, photos; may be null
    IMainProgramLink* mainProgram;    // hides its desktop clocks while a map is shown
    IProgramStarter* starter;         // the pane's links; may be null
    MapLibraryTable* library;         // bound at the first open and kept; null: never a map
    CSettingsFrame* frame;            // ends the chooser on a second start; may be null
};

class CLocationChooser : public ILocationChooser {
public:
    explicit CLocationChooser(const LocationChooserServices& services);
    ~CLocationChooser() override;
    CLocationChooser(const CLocationChooser&) = delete;
    CLocationChooser& operator=(const CLocationChooser&) = delete;

    // Runs the chooser modal, owned by `page`, with `start` selected when it
    // is a record of the city list. Its answer reaches the page meanwhile.
    bool ChooseLocation(HWND page, const CityRecord* start) override;
    HWND ChooserWindow() override { return m_window; }

    // The procedure of the "Tempolan World Map" class: the same chooser as a
    // plain window, its CLocationChooser* the creation parameter and its
    // owner the page. Closing it destroys it.
    static LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void BindMapLibrary();
    // True when the handler took the message, its result in `*answer`.
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer);
    void OnCreate(HWND window, const CityRecord* start);
    void OnDestroy(HWND window);
    void OnOk();
    void OnCancel();
    bool MapBound() const;

    LocationChooserServices m_services;
    std::unique_ptr<CMapHostCore> m_core;
    HWND m_window;
    HWND m_page;
    const CityRecord* m_start;  // the city to select at the start; may be null
    bool m_asDialog;   // a modal dialog, not the class's plain window
    bool m_hidDesktop; // the main program was told to hide its desktop clocks
};
