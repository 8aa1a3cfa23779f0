// The news page of the settings dialog (template 201): the list of news
// channels with their on/off check images, the selected channel's address and
// refresh interval, and the news options.
#pragma once

#include <windows.h>

const int kIdcChannelList = 1258;
const int kIdcChannelInterval = 1263;
const int kIdcChannelUrl = 1264;
const int kIdcAddChannel = 1265;
const int kIdcRemoveChannel = 1266;
const int kIdcChannelUp = 1267;
const int kIdcChannelDown = 1268;
const int kIdcDefaultInterval = 1270;
const int kIdcAllChannelsOn = 1272;
const int kIdcAllChannelsOff = 1273;
const int kIdcNoAds = 1274;
const int kIdcNoNotifications = 1275;
const int kIdcFadeNews = 1278;

// Icons of the language library on the up and down buttons.
const UINT kIconChannelUp = 203;
const UINT kIconChannelDown = 204;
// The remove question's text and title in the language library.
const UINT kStrRemoveChannel = 124;
const UINT kStrRemoveChannelTitle = 125;

// WM_NOTIFY code the channel list sends its page when a channel's check
// image was clicked.
const UINT kChannelCheckClicked = 256;
struct ChannelClick {
    NMHDR header;
    int item;
};

const int kChannelAddressChars = 512;
const int kMinChannelMinutes = 3;
const int kMaxChannelMinutes = 129600;
const int kDefaultChannelMinutes = 60;

// True for an "http://" or "https://" address (any case) with more than
// the scheme.
bool IsChannelAddress(const WCHAR* address);
// The refresh interval of the details: the number typed (its absolute
// value) within 3..129600 minutes, or, with `useDefault`, 60 in place of
// one outside; negative when the default is used. False when refused.
bool ReadChannelInterval(const WCHAR* text, bool useDefault, int* ttl);

INT_PTR CALLBACK NewsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
