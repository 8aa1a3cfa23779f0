#include <gtest/gtest.h>

#include <string>

#include "map/MapExports.h"
#include "map/scene/GLCaps.h"
#include "tests/map/SceneTestWindow.h"

namespace {

const char kAllExtensions[] =
    "GL_ARB_multisample GL_EXT_separate_specular_color GL_ARB_multitexture GL_ARB_texture_compression "
    "GL_EXT_texture_edge_clamp";

void* FindEverything(const char* name)
{
    static char marker;
    return name ? &marker : nullptr;
}

void* FindNoMultiTexCoord(const char* name)
{
    static char marker;
    return std::string(name) == "glMultiTexCoord2fARB" ? nullptr : &marker;
}

}  // namespace

TEST(SceneContext, CreatesACurrentContextAndReadsItsCaps)
{
    CSceneTestWindow window;
    ASSERT_EQ(0u, window.Create(800, 600));
    EXPECT_NE(nullptr, wglGetCurrentContext());
    EXPECT_EQ(window.DC(), wglGetCurrentDC());
    PIXELFORMATDESCRIPTOR pfd = {};
    ASSERT_NE(0, DescribePixelFormat(window.DC(), GetPixelFormat(window.DC()), sizeof(pfd), &pfd));
    EXPECT_TRUE(pfd.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_EQ(PFD_TYPE_RGBA, pfd.iPixelType);
    EXPECT_GE(pfd.cDepthBits, 24);

    // Mesa's llvmpipe under Wine: a real renderer with every extension
    const GLCaps& caps = window.Caps();
    EXPECT_FALSE(caps.software);
    EXPECT_FALSE(caps.renderer.empty());
    EXPECT_FALSE(caps.vendor.empty());
    EXPECT_FALSE(caps.version.empty());
    EXPECT_TRUE(caps.separateSpecular);
    EXPECT_TRUE(caps.multitexture);
    EXPECT_NE(nullptr, caps.activeTexture);
    EXPECT_NE(nullptr, caps.multiTexCoord2f);
    EXPECT_TRUE(caps.textureCompression);
    EXPECT_TRUE(caps.edgeClamp);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    EXPECT_GT(maxSize, 128);
    EXPECT_EQ(maxSize, caps.maxTextureSize);
}

TEST(SceneContext, FailuresNameTheStepAndKeepTheSystemError)
{
    CGLContext context;
    DWORD sysError = 0;
    EXPECT_EQ(MAPERR_CHOOSEPIXELFORMAT, CreateGLContext(nullptr, &context, &sysError));
    EXPECT_FALSE(context);
    EXPECT_NE(0u, sysError);

    // a window whose pixel format is already another one refuses ours
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    HDC dc = GetDC(other);
    int formats = DescribePixelFormat(dc, 1, 0, nullptr);
    int single = 0;
    for (int i = 1; i <= formats && !single; ++i) {
        PIXELFORMATDESCRIPTOR pfd = {};
        DescribePixelFormat(dc, i, sizeof(pfd), &pfd);
        if ((pfd.dwFlags & PFD_SUPPORT_OPENGL) && (pfd.dwFlags & PFD_DRAW_TO_WINDOW) &&
            !(pfd.dwFlags & PFD_DOUBLEBUFFER))
            single = i;
    }
    ASSERT_NE(0, single) << "no single-buffered format to block ours with";
    PIXELFORMATDESCRIPTOR pfd = {};
    DescribePixelFormat(dc, single, sizeof(pfd), &pfd);
    ASSERT_TRUE(SetPixelFormat(dc, single, &pfd));
    sysError = 0;
    EXPECT_EQ(MAPERR_SETPIXELFORMAT, CreateGLContext(dc, &context, &sysError));
    EXPECT_FALSE(context);
    EXPECT_NE(0u, sysError);
    ReleaseDC(other, dc);
    DestroyWindow(other);
}

TEST(SceneContext, ExtensionNamesMatchWhole)
{
    const char list[] = "GL_ARB_multitexture_extra GL_EXT_foo GL_ARB_texture_compression_bptc";
    EXPECT_FALSE(HasGLExtension(list, "GL_ARB_multitexture"));
    EXPECT_FALSE(HasGLExtension(list, "GL_ARB_texture_compression"));
    EXPECT_FALSE(HasGLExtension(list, "foo"));
    EXPECT_TRUE(HasGLExtension(list, "GL_EXT_foo"));
    EXPECT_TRUE(HasGLExtension(list, "GL_ARB_multitexture_extra"));
    EXPECT_TRUE(HasGLExtension(list, "GL_ARB_texture_compression_bptc"));
    EXPECT_FALSE(HasGLExtension(nullptr, "GL_EXT_foo"));
    EXPECT_FALSE(HasGLExtension(list, ""));
}

TEST(SceneContext, CapsFromTheContextStrings)
{
    GLCaps caps;
    caps.maxTextureSize = 4096;
    FillGLCaps("Vendor", "Fast Card", "2.1", kAllExtensions, FindEverything, &caps);
    EXPECT_FALSE(caps.software);
    EXPECT_EQ("Vendor", caps.vendor);
    EXPECT_EQ("Fast Card", caps.renderer);
    EXPECT_EQ("2.1", caps.version);
    EXPECT_TRUE(caps.separateSpecular && caps.multitexture && caps.textureCompression && caps.edgeClamp);
    EXPECT_EQ(4096, caps.maxTextureSize);

    // the system's software renderer: nothing kept, nothing used
    FillGLCaps("Microsoft Corporation", "GDI Generic", "1.1.0", kAllExtensions, FindEverything, &caps);
    EXPECT_TRUE(caps.software);
    EXPECT_TRUE(caps.vendor.empty() && caps.renderer.empty() && caps.version.empty());
    EXPECT_FALSE(caps.separateSpecular || caps.multitexture || caps.textureCompression || caps.edgeClamp);
    EXPECT_EQ(nullptr, caps.activeTexture);
    EXPECT_EQ(4096, caps.maxTextureSize);

    // multitexturing needs both entry points
    FillGLCaps("Vendor", "Fast Card", "2.1", kAllExtensions, FindNoMultiTexCoord, &caps);
    EXPECT_FALSE(caps.multitexture);
    EXPECT_TRUE(caps.separateSpecular);
    // and the extension
    FillGLCaps("Vendor", "Fast Card", "2.1", "GL_EXT_texture_edge_clamp", FindEverything, &caps);
    EXPECT_FALSE(caps.multitexture || caps.separateSpecular || caps.textureCompression);
    EXPECT_TRUE(caps.edgeClamp);
    // null strings from a broken driver
    FillGLCaps(nullptr, nullptr, nullptr, nullptr, FindEverything, &caps);
    EXPECT_FALSE(caps.software);
    EXPECT_TRUE(caps.renderer.empty());
    EXPECT_FALSE(caps.edgeClamp);
}
