// The autostart entry: the value "Tempolan" under the user's Run key.
#pragma once

#include <windows.h>

extern const WCHAR kRunKeyPath[];          // under the root key
extern const WCHAR kAutostartValueName[];  // "Tempolan"

class IAutostartEntry {
public:
    virtual ~IAutostartEntry() = default;
    // Creates the Run key when needed and points the value at `programFile`
    // (quoted when it holds a blank).
    virtual bool Set(const WCHAR* programFile) = 0;
    // Deletes the value; true when it is gone (also when it was never there).
    virtual bool Remove() = 0;
};

class CRegistryAutostart : public IAutostartEntry {
public:
    // `root` is HKEY_CURRENT_USER but for tests, which pass a scratch key.
    explicit CRegistryAutostart(HKEY root = HKEY_CURRENT_USER) : m_root(root) {}
    bool Set(const WCHAR* programFile) override;
    bool Remove() override;
    // The program path of the value (at most `chars` - 1 characters, without
    // the quotes of a quoted value); false when it is missing or too long.
    bool Query(WCHAR* path, DWORD chars) const;

private:
    HKEY m_root;
};
