#pragma once

#include <string>

namespace jhk {

// The part catalogue, which every application folder holds.
inline constexpr const char *CatalogueFileName = "jihan.ini";

// The application folder of a program in `programFolder`: that folder when the data files are
// beside it (the build tree), else ../share/jihankobo relative to it (an installed program).
// The programs find their own folder and hand the application folder to the core, which never
// guesses it from the process (see app/RunningProgram.h).
std::string applicationFolderOf(const std::string &programFolder);
// The same for the program file `programPath` (a path to the program itself, or a script).
std::string applicationFolderOfProgram(const std::string &programPath);

// Turns a stored path such as "\bg\kan_1.bmp" or "\BG\BG0.BMP" into a file inside `folder`,
// matching each name without regard to case. A path that climbs out of the folder ("..") or
// is absolute is refused. Returns "" when no such file exists.
std::string resolveInFolder(const std::string &folder, const std::string &storedPath);

// Pictures drawn in the paint tool are kept beside the machine's document, in a folder named
// after it: "shop.jhk" keeps them in "shop_pictures". The name a part records for its picture
// is relative to the document's folder, e.g. "shop_pictures\part_03.bmp".
std::string paintedPictureFolderName(const std::string &documentPath);
std::string paintedPictureName(const std::string &documentPath, int slot);

// The file of a part's picture: looked for first in the application folder, then relative to
// the folder of the document (if any). "" for "dummy" (the built-in picture) or when neither
// has it.
std::string findPartPicture(const std::string &appFolder, const std::string &documentPath,
                            const std::string &pictName);

} // namespace jhk
