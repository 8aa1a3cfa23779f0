// The main program's global settings, sent raw to the tray clock, which checks
// the size. TooltipStyle is also the calendar popup's look.
#pragma once

#include "graphics/records/ClockRecord.h"

struct TooltipStyle {
    WCHAR fontName[32];
    WCHAR monthFormat[48];
    WCHAR todayFormat[48];
    int32_t fontHeight;
    int32_t fontStyle;          // 8 bold, 1 italic
    int32_t titleFontHeight;
    int32_t titleFontStyle;
    int32_t weekFontHeight;
    int32_t weekFontStyle;
    // colours 0xAABBGGRR; a top byte of 0xFF means no colour is set
    uint32_t background;
    uint32_t titleColor;
    uint32_t labelColor;
    uint32_t rulerColor;
    uint32_t dayBackground;
    uint32_t dayColor;
    uint32_t grayColor;
    uint32_t saturdayColor;
    uint32_t sundayColor;
    uint32_t borderColor;
    uint32_t todayColor;
    uint32_t todayBackground;
    uint32_t todayBorderColor;
    uint32_t selectionColor;
    uint32_t selectionBackground;
    uint32_t selectionBorderColor;
    int32_t borderWidth;
    int32_t selectionBorderWidth;
    int32_t dayPadding;
    int32_t titlePadding;
    int32_t daySpacing;
    int32_t monthSpacing;
};

static_assert(sizeof(TooltipStyle) == 368, "shared layout");
static_assert(offsetof(TooltipStyle, fontHeight) == 256, "shared layout");
static_assert(offsetof(TooltipStyle, background) == 280, "shared layout");
static_assert(offsetof(TooltipStyle, selectionBorderColor) == 340, "shared layout");
static_assert(offsetof(TooltipStyle, monthSpacing) == 364, "shared layout");

// Option bits
const uint32_t kOptSkinned = 1u << 0;
const uint32_t kOptClassic = 1u << 1;
const uint32_t kOptTransparentSkin = 1u << 2;
const uint32_t kOptOverlayPrefixes = 1u << 3;
const uint32_t kOptOtherTooltip = 1u << 4;
const uint32_t kOptTooltips = 1u << 5;
const uint32_t kOptTooltipCalendar = 1u << 6;
const uint32_t kOptCityPhotos = 1u << 7;
const uint32_t kOptInetScripts = 1u << 10;
const uint32_t kOptMapInitialized = 1u << 11;
const uint32_t kOptSetLocalInMenu = 1u << 12;
const uint32_t kOptAutoSync = 1u << 13;

// syncType ("synctype")
const uint32_t kSyncTypeDefault = 1;
const uint32_t kSyncBeforeAlarms = 3;

// State bits
const uint32_t kStateShuttingDown = 1u << 2;

struct SettingsBlock {
    SYSTEMTIME buildDate;
    VS_FIXEDFILEINFO fileVersion;
    WCHAR programFolder[260];   // with a trailing backslash
    uint8_t reserved0[16];
    WCHAR skin[80];
    uint32_t trayClocks;        // 1..12
    uint32_t enabledClocks;
    uint32_t clockCount;        // 0..30
    uint32_t options;
    uint32_t syncType;          // kSyncTypeDefault, kSyncBeforeAlarms, ...
    WCHAR timeServer[128];
    uint32_t reserved1;
    uint32_t state;
    ClockProfileRecord localHighlight;
    WCHAR language[16];         // two lower-case letters
    uint32_t weekNumbering;     // 1 = first week with four days of the year
    uint32_t weekStart;         // 0 = Sunday .. 6 = Saturday
    uint32_t calendarMonths;    // 1..12
    uint32_t newsChannels;
    uint32_t newsFlags;         // bit 0 ads, bit 1 notifications, bit 2 fade
    int32_t cloudOverlay;       // on when above 0
    TooltipStyle tooltip;
};

static_assert(sizeof(SettingsBlock) == 1704, "shared layout");
static_assert(offsetof(SettingsBlock, fileVersion) == 16, "shared layout");
static_assert(offsetof(SettingsBlock, programFolder) == 68, "shared layout");
static_assert(offsetof(SettingsBlock, skin) == 604, "shared layout");
static_assert(offsetof(SettingsBlock, trayClocks) == 764, "shared layout");
static_assert(offsetof(SettingsBlock, options) == 776, "shared layout");
static_assert(offsetof(SettingsBlock, timeServer) == 784, "shared layout");
static_assert(offsetof(SettingsBlock, state) == 1044, "shared layout");
static_assert(offsetof(SettingsBlock, localHighlight) == 1048, "shared layout");
static_assert(offsetof(SettingsBlock, language) == 1280, "shared layout");
static_assert(offsetof(SettingsBlock, weekNumbering) == 1312, "shared layout");
static_assert(offsetof(SettingsBlock, cloudOverlay) == 1332, "shared layout");
static_assert(offsetof(SettingsBlock, tooltip) == 1336, "shared layout");
