#include "map/scene/GLCaps.h"

#include <string.h>

#include "map/MapExports.h"

void DiscardGLErrors()
{
    // bounded: without a context some drivers report an error on every call
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

bool HasGLExtension(const char* list, const char* name)
{
    if (!list || !name || !*name)
        return false;
    size_t length = strlen(name);
    for (const char* p = list; (p = strstr(p, name)) != nullptr; p += length) {
        bool starts = p == list || p[-1] == ' ';
        bool ends = p[length] == ' ' || p[length] == '\0';
        if (starts && ends)
            return true;
    }
    return false;
}

void FillGLCaps(const char* vendor, const char* renderer, const char* version, const char* extensions,
                GLProcLookup lookup, GLCaps* caps)
{
    int maxTextureSize = caps->maxTextureSize;
    *caps = GLCaps();
    caps->maxTextureSize = maxTextureSize;
    // Windows' own GDI renderer is OpenGL 1.1 in software: its extensions
    // are too slow to be worth it
    if (renderer && strncmp(renderer, "GDI ", 4) == 0) {
        caps->software = true;
        return;
    }
    caps->vendor = vendor ? vendor : "";
    caps->renderer = renderer ? renderer : "";
    caps->version = version ? version : "";
    caps->separateSpecular = HasGLExtension(extensions, "GL_EXT_separate_specular_color");
    caps->textureCompression = HasGLExtension(extensions, "GL_ARB_texture_compression");
    caps->edgeClamp = HasGLExtension(extensions, "GL_EXT_texture_edge_clamp");
    if (lookup) {
        caps->getExtensionsString = (GetExtensionsStringProc)lookup("wglGetExtensionsStringARB");
        if (HasGLExtension(extensions, "GL_ARB_multitexture")) {
            caps->activeTexture = (PFNGLACTIVETEXTUREARBPROC)lookup("glActiveTextureARB");
            caps->multiTexCoord2f = (PFNGLMULTITEXCOORD2FARBPROC)lookup("glMultiTexCoord2fARB");
            caps->multitexture = caps->activeTexture && caps->multiTexCoord2f;
        }
    }
}

namespace {

void* LookUpProc(const char* name)
{
    return (void*)wglGetProcAddress(name);
}

}  // namespace

void ReadGLCaps(GLCaps* caps)
{
    // a compatibility context (Mesa's is 4.5) still answers GL_EXTENSIONS
    // with the whole list
    FillGLCaps((const char*)glGetString(GL_VENDOR), (const char*)glGetString(GL_RENDERER),
               (const char*)glGetString(GL_VERSION), (const char*)glGetString(GL_EXTENSIONS), LookUpProc, caps);
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    if (size > 0)
        caps->maxTextureSize = size;
}

DWORD CreateGLContext(HDC dc, CGLContext* context, DWORD* sysError)
{
    context->Reset();
    *sysError = 0;
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_GENERIC_ACCELERATED;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 32;
    // asked for, never used: Mesa's formats come without one, which is fine
    pfd.cAccumBits = 32;
    pfd.cStencilBits = 0;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0) {
        *sysError = GetLastError();
        return MAPERR_CHOOSEPIXELFORMAT;
    }
    if (!SetPixelFormat(dc, format, &pfd)) {
        *sysError = GetLastError();
        return MAPERR_SETPIXELFORMAT;
    }
    CGLContext created(wglCreateContext(dc));
    if (!created || !wglMakeCurrent(dc, created.Get())) {
        *sysError = GetLastError();
        return MAPERR_MAKECURRENT;
    }
    *context = std::move(created);
    return 0;
}
