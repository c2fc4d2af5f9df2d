#pragma once

#include "model/Kinds.h"

#include <optional>
#include <string>

namespace jhk {

// Tells the stage how big a picture file is. The windows ask the picture loader; the
// simulator and the tests read the file headers (FilePictureSizes).
class PictureSizes {
public:
    virtual ~PictureSizes() = default;
    // Size in pixels of the picture at a stored path such as "\bg\kan_1.bmp", or nothing when
    // the file is missing or cannot be read.
    virtual std::optional<PixelSize> fileSize(const std::string &storedPath) const = 0;
};

// Reads the size from the header of a BMP, GIF, PNG or JPEG file, looked for first inside the
// application folder and then beside the document (pictures drawn in the paint tool), names
// matched without regard to case.
class FilePictureSizes : public PictureSizes {
public:
    explicit FilePictureSizes(std::string appDir, std::string documentPath = {});
    std::optional<PixelSize> fileSize(const std::string &storedPath) const override;

    // The size from a file's first bytes, or nothing when they are not a picture header.
    static std::optional<PixelSize> sizeFromHeader(const std::string &bytes);

private:
    std::string m_appDir;
    std::string m_documentPath;
};

// The size a part shows with `picture`: the built-in size of its kind for "dummy", the file's
// size otherwise. A missing or unreadable file counts as the built-in picture, so the stage
// never loses a part.
PixelSize partPictureSize(const PictureSizes &sizes, int kind, const std::string &picture);

} // namespace jhk
