// The photo strip at the map window's right edge, as the window uses it.
// This default shows nothing: no photos, no strip buttons in the window.
#pragma once

#include <stdint.h>

class CGLGroup;

// The strip (and the button pad below its photos) lies at window width - this.
const int kPhotoStripWidth = 108;
struct CityRecord;

class IPhotoStrip {
public:
    virtual ~IPhotoStrip() = default;

    // The photos of `city` (signed index >= 0) or of its country (< 0);
    // called only after the main program accepted the photo request.
    virtual void ShowPhotosOfCity(const CityRecord& city, int32_t signedIndex) {}
    // Whether the strip shows this place: the city's own photos, or with
    // `country` those of its country.
    virtual bool ShowsPlace(const CityRecord& city, bool country) const { return false; }
    // Window pixels, origin bottom left; the context is current.
    virtual void DrawPhotoPanel(int width, int height) {}
    // Moves the strip's buttons (Insert, Page Up, Page Down) into the window
    // when they apply; otherwise they stay below it (y -32).
    virtual void PlaceStripButtons(CGLGroup& buttons, int width, int height) {}
    // Page Up (back) or Page Down (forward); true when the strip moved.
    virtual bool Page(bool forward) { return false; }
    // Whether window x, y (origin bottom left) lies over the strip's photos.
    virtual bool IsOver(int x, int y, int width, int height) const { return false; }
    // Opens the page of the photo under x, y; false when there is none.
    virtual bool OpenPhotoAt(int x, int y) { return false; }
    // More photos are listed than the strip showed at the last paint.
    virtual bool HasHiddenPhotos() const { return false; }
};
