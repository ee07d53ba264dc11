#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "assets/image_loader.h"
#include "support/captured_console.h"

namespace {

// The shipped demo's pictures must decode by their own loader, without the
// fallback, into whole pictures.
TEST(BundledPictures, EveryPictureDecodesByItsOwnLoader) {
    const char* sourceDir = std::getenv("QUARN_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr);
    const std::filesystem::path demo = std::filesystem::path(sourceDir) / "demo";
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(demo)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".tga" && extension != ".jpg") continue;
        SCOPED_TRACE(entry.path().string());
        ++pictures;
        // A relative name: the directory part must not hold a ".".
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(demo);
        std::unique_ptr<Image> image;
        CapturedConsole console =
            captureConsole([&] { image = ImageLoaderRegistry().loadImage(entry.path().filename().string()); });
        std::filesystem::current_path(previous);
        ASSERT_TRUE(image);
        EXPECT_GT(image->width, 0);
        EXPECT_GT(image->height, 0);
        EXPECT_EQ(image->pixels.size(), size_t(image->width) * size_t(image->height) * 4);
        EXPECT_EQ(console.out.find('\x8A'), std::string::npos) << "fell back";
        EXPECT_EQ(console.err, "");
    }
    EXPECT_GT(pictures, 0);
}

}  // namespace
