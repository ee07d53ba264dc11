#include "assets/image_loader.h"

#include <cstdio>

#include "assets/jpeg_reader.h"
#include "assets/tga_reader.h"
#include "platform/file_bytes.h"
#include "platform/report.h"

ImageLoaderRegistry::ImageLoaderRegistry() {
    loaders.push_back(std::make_unique<JpegLoader>());
    loaders.push_back(std::make_unique<TgaLoader>());
}

std::string fileExtension(const std::string& fileName) {
    size_t dot = fileName.find('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
}

bool readPictureFile(const std::string& fileName, std::vector<uint8_t>& bytes, std::string& reason) {
    if (readFileBytes(fileName, bytes, &reason, maxPictureFileBytes)) return true;
    if (reason.starts_with("larger than"))
        reason += ", more than any picture the player can draw needs (8192 x 8192 pixels at most)";
    return false;
}

std::unique_ptr<Image> ImageLoaderRegistry::loadImage(const std::string& fileName) {
    const std::string extension = fileExtension(fileName);
    std::unique_ptr<Image> image;
    // Every loader is compared and reported, even after a match.
    for (auto& loader : loaders) {
        const std::string loaderName = loader->name();
        QUARN_REPORTF(Output, "comparing name %s to loader's %s\n", extension.c_str(), loaderName.c_str());
        if (extension == loaderName && !image) image = loader->load(fileName);
    }
    if (image) return image;

    // The fallback line is written as its historic raw bytes.
    static constexpr char fallbackLine[] = {0x68, '\x8A', 0x72, 0x20, 0x64, '\x8C', 0x3F, 0x0A};
    QUARN_REPORT(Output, std::string_view(fallbackLine, sizeof fallbackLine));
    for (auto& loader : loaders) {
        image = loader->load(fileName);
        if (image) return image;
    }
    return nullptr;
}
