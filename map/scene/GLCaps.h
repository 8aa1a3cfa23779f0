// The map window's OpenGL context and what its renderer offers.
#pragma once

#include <string>

#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include "graphics/system/Handles.h"

typedef const char*(WINAPI* GetExtensionsStringProc)(HDC dc);

struct GLCaps {
    // The system's software renderer ("GDI ..."): no strings kept, no extension used.
    bool software = false;
    std::string vendor, renderer, version;
    bool separateSpecular = false;
    // Set only when both entry points below were found.
    bool multitexture = false;
    bool textureCompression = false;
    bool edgeClamp = false;
    PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
    PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2f = nullptr;
    GetExtensionsStringProc getExtensionsString = nullptr;
    int maxTextureSize = 128;  // pixels per side
};

// Clears the errors earlier calls left, which would otherwise be taken for
// those of the calls that follow.
void DiscardGLErrors();

// Whether the space-separated list names the extension (whole names only).
bool HasGLExtension(const char* list, const char* name);

// Resolves an OpenGL entry point by name (wglGetProcAddress on the real path).
typedef void* (*GLProcLookup)(const char* name);
// The capabilities the strings of a context give; any string may be null.
// Leaves maxTextureSize alone.
void FillGLCaps(const char* vendor, const char* renderer, const char* version, const char* extensions,
                GLProcLookup lookup, GLCaps* caps);
// From the context current on this thread.
void ReadGLCaps(GLCaps* caps);

// A rendering context; made not current before it is deleted.
struct GLContextTraits {
    using Handle = HGLRC;
    static HGLRC Empty() { return nullptr; }
    static bool Valid(HGLRC h) { return h != nullptr; }
    static void Close(HGLRC h)
    {
        if (wglGetCurrentContext() == h)
            wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(h);
    }
};
using CGLContext = CHandleOwner<GLContextTraits>;

// Sets the map's pixel format on the window's DC and makes a context current
// on it. 0, or MAPERR_CHOOSEPIXELFORMAT / MAPERR_SETPIXELFORMAT /
// MAPERR_MAKECURRENT with the Win32 error in *sysError (the context then
// stays empty). The DC must stay valid while the context lives.
DWORD CreateGLContext(HDC dc, CGLContext* context, DWORD* sysError);
