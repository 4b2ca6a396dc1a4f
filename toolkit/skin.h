// Where windows get their resources: the skin archive in memory (or, when no
// archive was given, the files under the resource path), the resource index,
// and images with their variants by display scale.
#pragma once

#include <QPixmap>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "toolkit/resource_index.h"
#include "toolkit/skin_archive.h"

namespace toolkit {

class Skin {
public:
    static Skin& Instance();

    // Resources come from this in-memory archive from now on.
    bool SetArchive(const uint8_t* data, size_t size, const std::string& password);
    void SetResourcePath(const std::string& folder) { mResourcePath = folder; }
    // Loads the resource index from a file of the skin ("xml\\res.xml").
    bool LoadResourceIndex(const std::string& path);

    bool HasArchive() const { return mArchive.IsOpen(); }
    const SkinArchive& Archive() const { return mArchive; }
    const ResourceIndex& Index() const { return mIndex; }

    // A file of the skin: from the archive when there is one, else from the
    // resource path.
    std::optional<std::string> ReadFile(const std::string& path) const;
    // The layout file of an identifier, or nothing.
    std::optional<std::string> ResolveLayout(const std::string& id) const;
    // The image for a display scale: its "@<scale>" variant when the skin has
    // one, else the base image scaled. A null pixmap when missing.
    QPixmap Image(const std::string& name, int scalePercent);

    // Forgets the archive, the index and the image cache.
    void Reset();

private:
    SkinArchive mArchive;
    ResourceIndex mIndex;
    std::string mResourcePath;
    std::map<std::pair<std::string, int>, QPixmap> mImages;
};

}  // namespace toolkit
