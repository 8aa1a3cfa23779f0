// The time service program's texts and message boxes, so that tests neither
// need its resources nor show a box.
#pragma once

#include <windows.h>

// Texts are loaded into buffers of this many characters.
const int kHoralinkTextChars = 256;

class IHoralinkUi {
public:
    // String `id` of the program's own table; false when it has none.
    virtual bool LoadText(UINT id, WCHAR* out, int chars) = 0;
    // A box with string `id`, an error or an information icon, and OK.
    virtual void ShowBox(UINT id, bool error) = 0;

protected:
    ~IHoralinkUi() = default;
};

// The running program's string table and MessageBoxW.
class CHoralinkUi : public IHoralinkUi {
public:
    bool LoadText(UINT id, WCHAR* out, int chars) override;
    void ShowBox(UINT id, bool error) override;
};
