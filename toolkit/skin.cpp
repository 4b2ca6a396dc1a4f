#include "toolkit/skin.h"

#include <fstream>
#include <sstream>

#include "toolkit/layout_spec.h"

namespace toolkit {

Skin& Skin::Instance() {
    static Skin skin;
    return skin;
}

bool Skin::SetArchive(const uint8_t* data, size_t size, const std::string& password) {
    mImages.clear();
    return mArchive.Open(data, size, password);
}

bool Skin::LoadResourceIndex(const std::string& path) {
    auto text = ReadFile(path);
    if (!text) {
        return false;
    }
    return mIndex.Parse(*text);
}

std::optional<std::string> Skin::ReadFile(const std::string& path) const {
    if (mArchive.IsOpen()) {
        return mArchive.Read(path);
    }
    if (mResourcePath.empty()) {
        return std::nullopt;
    }
    std::string full = NormalizeArchivePath(mResourcePath);
    if (!full.empty() && full.back() != '/') {
        full += '/';
    }
    if (!mResourcePath.empty() && (mResourcePath.front() == '/' || mResourcePath.front() == '\\')) {
        full.insert(full.begin(), '/');
    }
    std::ifstream in(full + NormalizeArchivePath(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::optional<std::string> Skin::ResolveLayout(const std::string& id) const {
    return mIndex.Resolve(id);
}

QPixmap Skin::Image(const std::string& name, int scalePercent) {
    if (name.empty()) {
        return {};
    }
    auto key = std::make_pair(name, scalePercent);
    auto cached = mImages.find(key);
    if (cached != mImages.end()) {
        return cached->second;
    }
    QPixmap pixmap;
    if (auto variant = ReadFile(ImageVariantName(name, scalePercent))) {
        pixmap.loadFromData(reinterpret_cast<const uchar*>(variant->data()),
                            static_cast<uint>(variant->size()));
    }
    if (pixmap.isNull()) {
        if (auto base = ReadFile(name)) {
            pixmap.loadFromData(reinterpret_cast<const uchar*>(base->data()),
                                static_cast<uint>(base->size()));
            if (!pixmap.isNull() && scalePercent != 100 && scalePercent > 0) {
                pixmap = pixmap.scaled(Scaled(pixmap.width(), scalePercent),
                                       Scaled(pixmap.height(), scalePercent), Qt::KeepAspectRatio,
                                       Qt::SmoothTransformation);
            }
        }
    }
    mImages[key] = pixmap;
    return pixmap;
}

void Skin::Reset() {
    mArchive.Close();
    mIndex = ResourceIndex();
    mImages.clear();
    mResourcePath.clear();
}

}  // namespace toolkit
