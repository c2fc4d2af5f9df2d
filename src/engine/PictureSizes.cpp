#include "engine/PictureSizes.h"

#include "engine/Stage.h"
#include "model/AppPaths.h"

#include <fstream>

namespace jhk {

namespace {

unsigned le16(const std::string &b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

unsigned long le32(const std::string &b, std::size_t at)
{
    return le16(b, at) | static_cast<unsigned long>(le16(b, at + 2)) << 16;
}

unsigned be16(const std::string &b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]);
}

unsigned long be32(const std::string &b, std::size_t at)
{
    return static_cast<unsigned long>(be16(b, at)) << 16 | be16(b, at + 2);
}

std::optional<PixelSize> checked(long long w, long long h)
{
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767)
        return std::nullopt;
    return PixelSize{static_cast<int>(w), static_cast<int>(h)};
}

// JPEG: the size stands in the first start-of-frame segment.
std::optional<PixelSize> jpegSize(const std::string &b)
{
    std::size_t at = 2;
    while (at + 9 < b.size()) {
        if (static_cast<unsigned char>(b[at]) != 0xFF)
            return std::nullopt;
        const unsigned marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4
            && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame)
            return checked(be16(b, at + 7), be16(b, at + 5));
        at += 2 + be16(b, at + 2);
    }
    return std::nullopt;
}

} // namespace

FilePictureSizes::FilePictureSizes(std::string appDir, std::string documentPath)
    : m_appDir(std::move(appDir))
    , m_documentPath(std::move(documentPath))
{
}

std::optional<PixelSize> FilePictureSizes::sizeFromHeader(const std::string &b)
{
    if (b.size() >= 26 && b.compare(0, 2, "BM") == 0) {
        const unsigned long header = le32(b, 14);
        if (header == 12) // the old OS/2 header: 16-bit sizes
            return checked(le16(b, 18), le16(b, 20));
        const long w = static_cast<std::int32_t>(le32(b, 18));
        const long h = static_cast<std::int32_t>(le32(b, 22));
        return checked(w, h < 0 ? -static_cast<long long>(h) : h); // negative: stored top-down
    }
    if (b.size() >= 10 && (b.compare(0, 6, "GIF87a") == 0 || b.compare(0, 6, "GIF89a") == 0))
        return checked(le16(b, 6), le16(b, 8));
    if (b.size() >= 24 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0)
        return checked(be32(b, 16), be32(b, 20));
    if (b.size() >= 4 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xD8)
        return jpegSize(b);
    return std::nullopt;
}

std::optional<PixelSize> FilePictureSizes::fileSize(const std::string &storedPath) const
{
    const std::string path = findPartPicture(m_appDir, m_documentPath, storedPath);
    if (path.empty())
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string head(64 * 1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    // A picture larger than the stage is refused like an unreadable one: the part keeps the
    // size of its kind instead of covering the whole stage.
    const auto size = sizeFromHeader(head);
    if (size && (size->width > StageWidthPixels || size->height > StageHeightPixels))
        return std::nullopt;
    return size;
}

PixelSize partPictureSize(const PictureSizes &sizes, int kind, const std::string &picture)
{
    const PixelSize builtIn = kind >= 0 && kind < PartsKindCount
        ? BuiltInPictureSizes[static_cast<std::size_t>(kind)]
        : PixelSize{32, 32};
    if (picture == "dummy" || picture.empty())
        return builtIn;
    return sizes.fileSize(picture).value_or(builtIn);
}

} // namespace jhk
