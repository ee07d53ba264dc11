#pragma once
// The ARB multitexture entry points, fetched by name at run time.
#include <GL/gl.h>
#include <GL/glext.h>

struct MultitextureEntryPoints {
    PFNGLMULTITEXCOORD1DARBPROC glMultiTexCoord1dARB;
    PFNGLMULTITEXCOORD1DVARBPROC glMultiTexCoord1dvARB;
    PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB;
    PFNGLMULTITEXCOORD1FVARBPROC glMultiTexCoord1fvARB;
    PFNGLMULTITEXCOORD1IARBPROC glMultiTexCoord1iARB;
    PFNGLMULTITEXCOORD1IVARBPROC glMultiTexCoord1ivARB;
    PFNGLMULTITEXCOORD1SARBPROC glMultiTexCoord1sARB;
    PFNGLMULTITEXCOORD1SVARBPROC glMultiTexCoord1svARB;
    PFNGLMULTITEXCOORD2DARBPROC glMultiTexCoord2dARB;
    PFNGLMULTITEXCOORD2DVARBPROC glMultiTexCoord2dvARB;
    PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
    PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB;
    PFNGLMULTITEXCOORD2IARBPROC glMultiTexCoord2iARB;
    PFNGLMULTITEXCOORD2IVARBPROC glMultiTexCoord2ivARB;
    PFNGLMULTITEXCOORD2SARBPROC glMultiTexCoord2sARB;
    PFNGLMULTITEXCOORD2SVARBPROC glMultiTexCoord2svARB;
    PFNGLMULTITEXCOORD3DARBPROC glMultiTexCoord3dARB;
    PFNGLMULTITEXCOORD3DVARBPROC glMultiTexCoord3dvARB;
    PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB;
    PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB;
    PFNGLMULTITEXCOORD3IARBPROC glMultiTexCoord3iARB;
    PFNGLMULTITEXCOORD3IVARBPROC glMultiTexCoord3ivARB;
    PFNGLMULTITEXCOORD3SARBPROC glMultiTexCoord3sARB;
    PFNGLMULTITEXCOORD3SVARBPROC glMultiTexCoord3svARB;
    PFNGLMULTITEXCOORD4DARBPROC glMultiTexCoord4dARB;
    PFNGLMULTITEXCOORD4DVARBPROC glMultiTexCoord4dvARB;
    PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB;
    PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB;
    PFNGLMULTITEXCOORD4IARBPROC glMultiTexCoord4iARB;
    PFNGLMULTITEXCOORD4IVARBPROC glMultiTexCoord4ivARB;
    PFNGLMULTITEXCOORD4SARBPROC glMultiTexCoord4sARB;
    PFNGLMULTITEXCOORD4SVARBPROC glMultiTexCoord4svARB;
    PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
    PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;
};

// Null until initExtensions has fetched them. Call through these, e.g.
// multitexture.glActiveTextureARB(GL_TEXTURE1_ARB), after checking for null.
extern MultitextureEntryPoints multitexture;

constexpr int multitextureEntryPointCount = 34;
// The entry point names in the order they are fetched; null out of range.
const char* multitextureEntryPointName(int index);

// Fetches all 34 entry points with the current GL context. True only when
// the context advertises GL_ARB_multitexture and every entry point was found.
// Safe to call again; it stores the same pointers.
bool initExtensions();

// The same with the lookup and the extension string given, for drivers that
// are not the current one. Stops at the first name the lookup cannot find;
// the names after it keep their previous pointers. A null or non-matching
// extension string fetches nothing.
using ProcAddressLookup = void* (*)(const char* name);
bool loadMultitextureEntryPoints(ProcAddressLookup lookup, const char* extensionString);
// True when name is one whole space-separated word of extensionString.
bool hasExtension(const char* extensionString, const char* name);
