#include "assets/image_loader.h"

#include <algorithm>

#include "assets/asset_reading.h"
#include "assets/jpeg_reader.h"
#include "assets/tga_reader.h"
#include "platform/report.h"

ImageLoaderRegistry::ImageLoaderRegistry(std::size_t maxJpegPixels) {
    loaders.push_back(std::make_unique<JpegLoader>(maxJpegPixels));
    loaders.push_back(std::make_unique<TgaLoader>());
}

std::string fileExtension(const std::string& fileName) {
    size_t dot = fileName.find('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
}

bool readPictureFile(const std::string& fileName, std::vector<uint8_t>& bytes, std::string& reason) {
    if (readAssetFile(fileName, bytes, &reason, maxPictureFileBytes)) return true;
    if (reason.starts_with("larger than"))
        reason += ", more than any picture the player can draw needs (8192 x 8192 pixels at most)";
    return false;
}

namespace {

constexpr std::size_t pictureHeaderBytes = 18;

// Tells the listener, when there is one, what became of a picture whatever
// way loadImage leaves (a JPEG loader that cannot open the file throws).
class PictureReport {
public:
    explicit PictureReport(const std::string& fileName) : listener(assetListener()) {
        if (listener == nullptr) return;
        facts.fileName = fileName;
        std::vector<uint8_t> bytes;
        facts.opened = readPictureFile(fileName, bytes, facts.reason);
        facts.header.assign(bytes.begin(), bytes.begin() + std::min(bytes.size(), pictureHeaderBytes));
    }
    ~PictureReport() {
        if (listener != nullptr) listener->pictureRead(facts);
    }
    PictureReport(const PictureReport&) = delete;
    PictureReport& operator=(const PictureReport&) = delete;

    std::unique_ptr<Image> decodedBy(std::unique_ptr<Image> image, ImageLoader& loader) {
        if (listener != nullptr && image) {
            facts.decodedBy = loader.name();
            facts.damage = image->damage;
        }
        return image;
    }

private:
    AssetListener* listener;
    PictureFacts facts;
};

}  // namespace

std::unique_ptr<Image> ImageLoaderRegistry::loadImage(const std::string& fileName) {
    PictureReport told(fileName);
    const std::string extension = fileExtension(fileName);
    std::unique_ptr<Image> image;
    ImageLoader* decoder = nullptr;
    // Every loader is compared and reported, even after a match.
    for (auto& loader : loaders) {
        const std::string loaderName = loader->name();
        QUARN_REPORTF(Output, "comparing name %s to loader's %s\n", extension.c_str(), loaderName.c_str());
        if (extension == loaderName && !image) {
            image = loader->load(fileName);
            decoder = loader.get();
        }
    }
    if (image) return told.decodedBy(std::move(image), *decoder);

    // The fallback line is written as its historic raw bytes.
    static constexpr char fallbackLine[] = {0x68, '\x8A', 0x72, 0x20, 0x64, '\x8C', 0x3F, 0x0A};
    QUARN_REPORT(Output, std::string_view(fallbackLine, sizeof fallbackLine));
    for (auto& loader : loaders) {
        image = loader->load(fileName);
        if (image) return told.decodedBy(std::move(image), *loader);
    }
    return nullptr;
}
