#include "platform/extensions.h"

#include <cstring>
#include <string>
#include <vector>

#include "support/gl_context.h"

namespace {

const char* const driverExtensions = "GL_ARB_imaging GL_ARB_multitexture GL_EXT_bgra";

// A fake driver: answers every name with a distinct address except one.
std::vector<std::string> askedFor;
const char* missingName = nullptr;
char fakeEntryPoints[64];

void* fakeLookup(const char* name) {
    askedFor.push_back(name);
    if (missingName && std::strcmp(name, missingName) == 0) return nullptr;
    return &fakeEntryPoints[askedFor.size()];
}

class ExtensionLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        askedFor.clear();
        missingName = nullptr;
        multitexture = MultitextureEntryPoints{};
    }
    void TearDown() override { multitexture = MultitextureEntryPoints{}; }
};

TEST_F(ExtensionLoaderTest, FetchesAllNamesInOrder) {
    EXPECT_TRUE(loadMultitextureEntryPoints(fakeLookup, driverExtensions));
    ASSERT_EQ(askedFor.size(), 34u);
    const char* dimensions = "1234";
    const char* suffixes[] = {"d", "dv", "f", "fv", "i", "iv", "s", "sv"};
    for (int i = 0; i < 32; ++i) {
        std::string expected = std::string("glMultiTexCoord") + dimensions[i / 8] + suffixes[i % 8] + "ARB";
        EXPECT_EQ(askedFor[i], expected);
        EXPECT_STREQ(multitextureEntryPointName(i), expected.c_str());
    }
    EXPECT_EQ(askedFor[32], "glActiveTextureARB");
    EXPECT_EQ(askedFor[33], "glClientActiveTextureARB");
    EXPECT_EQ(multitextureEntryPointName(34), nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(multitexture.glActiveTextureARB), &fakeEntryPoints[33]);
    EXPECT_EQ(reinterpret_cast<void*>(multitexture.glClientActiveTextureARB), &fakeEntryPoints[34]);
    EXPECT_EQ(reinterpret_cast<void*>(multitexture.glMultiTexCoord4svARB), &fakeEntryPoints[32]);
}

TEST_F(ExtensionLoaderTest, AMissingCoordinateFunctionFailsBeforeTheSelectors) {
    missingName = "glMultiTexCoord2fARB";
    EXPECT_FALSE(loadMultitextureEntryPoints(fakeLookup, driverExtensions));
    EXPECT_EQ(askedFor.size(), 11u);
    EXPECT_NE(multitexture.glMultiTexCoord2dvARB, nullptr);
    EXPECT_EQ(multitexture.glActiveTextureARB, nullptr);
    EXPECT_EQ(multitexture.glClientActiveTextureARB, nullptr);

    askedFor.clear();
    missingName = "glClientActiveTextureARB";
    EXPECT_FALSE(loadMultitextureEntryPoints(fakeLookup, driverExtensions));
    EXPECT_EQ(askedFor.size(), 34u);
}

TEST_F(ExtensionLoaderTest, WithoutTheAdvertisedExtensionNothingIsFetched) {
    // Lookups hand out stubs for anything, so the extension string decides.
    for (const char* extensions :
         {"", "GL_EXT_bgra", "GL_ARB_multitexture_extra GL_EXT_bgra", "XGL_ARB_multitexture"}) {
        EXPECT_FALSE(loadMultitextureEntryPoints(fakeLookup, extensions)) << extensions;
    }
    EXPECT_FALSE(loadMultitextureEntryPoints(fakeLookup, nullptr));
    EXPECT_TRUE(askedFor.empty());
    EXPECT_EQ(multitexture.glActiveTextureARB, nullptr);

    EXPECT_TRUE(hasExtension("GL_ARB_multitexture", "GL_ARB_multitexture"));
    EXPECT_TRUE(hasExtension("GL_ARB_multitexture_x GL_ARB_multitexture", "GL_ARB_multitexture"));
    EXPECT_FALSE(hasExtension("GL_ARB_multitexture", ""));
}

class InitExtensionsTest : public GlContextTest {};

TEST_F(InitExtensionsTest, FindsTheSelectorsOfTheCurrentContext) {
    multitexture = MultitextureEntryPoints{};
    EXPECT_TRUE(initExtensions());
    ASSERT_NE(multitexture.glActiveTextureARB, nullptr);
    ASSERT_NE(multitexture.glClientActiveTextureARB, nullptr);
    multitexture.glActiveTextureARB(GL_TEXTURE2_ARB);
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    EXPECT_EQ(unit, GLint(GL_TEXTURE2_ARB));
    EXPECT_TRUE(initExtensions());  // again: same pointers, still true
}

}  // namespace
