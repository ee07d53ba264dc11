#include "assets/texture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "assets/image_loader.h"
#include "assets/missing_picture.h"
#include "support/captured_console.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string fallbackLine = "h\x8Ar d\x8C?\n";

// A 1x1 32-bit TGA holding B,G,R,A = 1,2,3,4.
Bytes onePixelTga() { return tgaFile(2, 1, 1, 32, {1, 2, 3, 4}); }

std::string tgaLines(const Image& image) {
    char line[200];
    std::snprintf(line, sizeof line, "success in loading.. data: %p, width: %i height: %i\n",
                  static_cast<const void*>(image.pixels.data()), image.width, image.height);
    return "Load_TGA() : width = 1 height = 1\n" + std::string(line);
}

TEST(ImageLoaderRegistry, ExtensionIsTheTextAfterTheFirstDot) {
    EXPECT_EQ(fileExtension("pic.tga"), "tga");
    EXPECT_EQ(fileExtension("a.b.tga"), "b.tga");
    EXPECT_EQ(fileExtension("./pic.tga"), "/pic.tga");
    EXPECT_EQ(fileExtension("textures.old/pic.tga"), "old/pic.tga");
    EXPECT_EQ(fileExtension("noextension"), "");
}

TEST(ImageLoaderRegistry, MatchingExtensionsUseTheirLoaderAfterComparingAll) {
    ScratchDirectory scratch;
    writeBytes("pic.tga", onePixelTga());
    writeBytes("pic.jpg", encodeJpeg(1, 1, {255, 0, 0}));

    std::unique_ptr<Image> image;
    CapturedConsole tga = captureConsole([&] { image = ImageLoaderRegistry().loadImage("pic.tga"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(tga.out, "comparing name tga to loader's jpg\ncomparing name tga to loader's tga\n" + tgaLines(*image));
    EXPECT_EQ(tga.err, "");

    CapturedConsole jpg = captureConsole([&] { image = ImageLoaderRegistry().loadImage("pic.jpg"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(jpg.out, "comparing name jpg to loader's jpg\nxsize: 1\nysize: 1\ncomparing name jpg to loader's tga\n");
}

TEST(ImageLoaderRegistry, UnknownExtensionsFallBackThroughEveryLoader) {
    ScratchDirectory scratch;
    writeBytes("pic.jpeg", encodeJpeg(1, 1, {255, 0, 0}));
    std::filesystem::create_directory("textures.old");
    writeBytes("textures.old/pic.tga", onePixelTga());

    std::unique_ptr<Image> image;
    CapturedConsole jpeg = captureConsole([&] { image = ImageLoaderRegistry().loadImage("pic.jpeg"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(jpeg.out, "comparing name jpeg to loader's jpg\ncomparing name jpeg to loader's tga\n" + fallbackLine +
                            "xsize: 1\nysize: 1\n");

    // JPEG is asked first and rejects the TGA bytes with the library's message.
    CapturedConsole old = captureConsole([&] { image = ImageLoaderRegistry().loadImage("textures.old/pic.tga"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(old.out, "comparing name old/pic.tga to loader's jpg\ncomparing name old/pic.tga to loader's tga\n" +
                           fallbackLine + tgaLines(*image));
    EXPECT_EQ(old.err, "Not a JPEG file: starts with 0x00 0x00\n");
    EXPECT_EQ(image->pixels, (Bytes{1, 2, 3, 4}));
}

TEST(ImageLoaderRegistry, TgaNamedJpgIsDecodedAfterTwoJpegRefusals) {
    ScratchDirectory scratch;
    writeBytes("pic.jpg", onePixelTga());
    std::unique_ptr<Image> image;
    CapturedConsole console = captureConsole([&] { image = ImageLoaderRegistry().loadImage("pic.jpg"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(console.err, "Not a JPEG file: starts with 0x00 0x00\nNot a JPEG file: starts with 0x00 0x00\n");
    EXPECT_EQ(console.out, "comparing name jpg to loader's jpg\ncomparing name jpg to loader's tga\n" + fallbackLine +
                               tgaLines(*image));
}

TEST(ImageLoaderRegistry, UndecodableFileGivesNull) {
    ScratchDirectory scratch;
    writeBytes("junk.tga", Bytes(5, 0));
    std::unique_ptr<Image> image;
    captureConsole([&] { image = ImageLoaderRegistry().loadImage("junk.tga"); });
    EXPECT_FALSE(image);
}

TEST(TextureManager, LoadTextureGivesRgbaPixels) {
    ScratchDirectory scratch;
    writeBytes("red.jpg", encodeJpeg(1, 1, {255, 0, 0}));
    writeBytes("pic.tga", onePixelTga());
    std::unique_ptr<Texture> jpeg, tga;
    CapturedConsole console = captureConsole([&] {
        jpeg = TextureManager().loadTexture("red.jpg", false);
        tga = TextureManager().loadTexture("pic.tga", true);
    });
    EXPECT_EQ(console.out.rfind("loading texture red.jpg\ncomparing name jpg", 0), 0u) << console.out;
    // Red survives JPEG coding only nearly; the order is what matters here.
    const Bytes& red = jpeg->getImage()->pixels;
    ASSERT_EQ(red.size(), 4u);
    EXPECT_GE(red[0], 0xFC);
    EXPECT_LE(red[1], 3);
    EXPECT_LE(red[2], 3);
    EXPECT_EQ(red[3], 0xFF);
    EXPECT_EQ(jpeg->textureId(), 0u);
    EXPECT_FALSE(jpeg->hasMipmaps());
    EXPECT_EQ(tga->getImage()->pixels, (Bytes{3, 2, 1, 4}));
    EXPECT_TRUE(tga->hasMipmaps());
}

TEST(TextureManager, UndecodablePictureBecomesOpaqueWhite) {
    ScratchDirectory scratch;
    writeBytes("junk.tga", Bytes(5, 0));
    std::unique_ptr<Texture> texture;
    CapturedConsole console = captureConsole([&] { texture = TextureManager().loadTexture("junk.tga", false); });
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getImage()->width, 1);
    EXPECT_EQ(texture->getImage()->height, 1);
    EXPECT_EQ(texture->getImage()->pixels, (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_NE(console.err.find("no loader could decode junk.tga, using a white picture\n"), std::string::npos);
}

TEST(TextureManager, UnreadablePictureStopsTheLoadingWithItsNameAndTheSystemsReason) {
    ScratchDirectory scratch;
    // A directory opens like a file and used to read as an empty picture.
    std::filesystem::create_directory("folder.tga");
    // The TGA loader reports first; the JPEG loader of the fallback then stops the start-up.
    for (const auto& [name, reason] :
         {std::pair{"absent.tga", "No such file or directory"}, std::pair{"folder.tga", "Is a directory"}}) {
        try {
            TextureManager().loadTexture(name, false);
            ADD_FAILURE() << name << " was loaded";
        } catch (const MissingPicture& missing) {
            EXPECT_EQ(missingPictureMessage(missing),
                      std::string("cannot open picture file ") + name + ": " + reason + "\n");
        }
    }
}

TEST(TextureManager, AddAlphaTakesByteZeroOfTheAlphaPicture) {
    ScratchDirectory scratch;
    writeBytes("pic.tga", tgaFile(2, 2, 1, 24, {10, 20, 30, 40, 50, 60}));
    writeBytes("grey.tga", tgaFile(2, 2, 1, 24, {128, 128, 128, 128, 128, 128}));
    std::unique_ptr<Texture> texture;
    CapturedConsole console = captureConsole([&] {
        TextureManager manager;
        texture = manager.loadTexture("pic.tga", false);
        manager.addAlpha(texture.get(), "grey.tga");
    });
    EXPECT_NE(console.out.find("adding alpha: grey.tga\ncomparing name tga to loader's jpg\n"), std::string::npos);
    EXPECT_EQ(texture->getImage()->pixels, (Bytes{30, 20, 10, 128, 60, 50, 40, 128}));

    console = captureConsole([&] { TextureManager().addAlpha(texture.get(), ""); });
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, "");
    EXPECT_EQ(texture->getImage()->pixels, (Bytes{30, 20, 10, 128, 60, 50, 40, 128}));
}

TEST(TextureManager, AddAlphaOfAnotherSizePairsUpToTheSmallerCount) {
    ScratchDirectory scratch;
    writeBytes("pic.tga", tgaFile(2, 2, 1, 24, {10, 20, 30, 40, 50, 60}));
    writeBytes("small.tga", tgaFile(2, 1, 1, 24, {7, 0, 0}));
    writeBytes("big.tga", tgaFile(2, 3, 1, 24, {1, 0, 0, 2, 0, 0, 3, 0, 0}));
    writeBytes("junk.tga", Bytes(3, 0));
    std::unique_ptr<Texture> texture;
    captureConsole([&] {
        TextureManager manager;
        texture = manager.loadTexture("pic.tga", false);
        manager.addAlpha(texture.get(), "small.tga");
    });
    EXPECT_EQ(texture->getImage()->pixels, (Bytes{30, 20, 10, 7, 60, 50, 40, 255}));
    captureConsole([&] { TextureManager().addAlpha(texture.get(), "big.tga"); });
    EXPECT_EQ(texture->getImage()->pixels, (Bytes{30, 20, 10, 1, 60, 50, 40, 2}));
    // An undecodable alpha picture leaves the texture as it was.
    captureConsole([&] { TextureManager().addAlpha(texture.get(), "junk.tga"); });
    EXPECT_EQ(texture->getImage()->pixels, (Bytes{30, 20, 10, 1, 60, 50, 40, 2}));
}

TEST(Texture, UploadCreatesARepeatingTextureWithTheFilterForItsMipmaps) {
    RecordingRenderState recorder;
    auto owned = std::make_unique<Image>(Image{{1, 2, 3, 4, 5, 6, 7, 8}, 2, 1, {}});
    Image* image = owned.get();
    Texture plain(std::move(owned), false);
    Texture mipmapped(std::make_unique<Image>(Image{{1, 2, 3, 4}, 1, 1, {}}), true);
    EXPECT_EQ(plain.upload(recorder), 1u);
    EXPECT_EQ(mipmapped.upload(recorder), 2u);

    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"createTexture(2,1,0,2)", "createTexture(1,1,0,4)"}));
    EXPECT_EQ(recorder.calls[0].pointer, image->pixels.data());
    EXPECT_EQ(plain.textureId(), 1u);
    EXPECT_EQ(mipmapped.textureId(), 2u);
    EXPECT_EQ(plain.getImage(), image);
}

}  // namespace
