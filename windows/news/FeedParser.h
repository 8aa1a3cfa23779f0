// Reading a feed's cached file into its channel with the MSXML 3.0 DOM.
// GUI thread only; the thread must have OLE initialised (the main program's
// start-up does it), else the parse fails.
#pragma once

#include "windows/news/RssModel.h"


// DOMDocument 3.0's class and IXMLDOMDocument, named here since MinGW's
// uuid library lacks them.
extern const CLSID kDomDocument30;
extern const IID kIXMLDOMDocument;

// Merges the feed file at `path` into `channel`: items new, changed or gone
// are added, updated or deleted, and the channel's subscribers are sent
// UM_RSSCHANGED for each (removed items before deletion), then
// kRssChannelParsed. `quiet` (the cached files at start-up) adds items
// without their new flag. False when the file cannot be read or is no feed;
// the channel then keeps its items and its parsed flag is clear. The file
// time is taken whenever the file could be opened.
bool ParseFeedFile(RSS::Channel* channel, const WCHAR* path, bool quiet);
