#include "model/AppPaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace jhk {

std::string applicationFolderOf(const std::string &programFolder)
{
    // The catalogue marks an application folder: the build tree keeps the data beside the
    // programs, an installed program finds it in ../share/jihankobo. The first folder that
    // holds one is used whole, so two installations never mix.
    const fs::path here(programFolder);
    const fs::path shared = here.parent_path() / "share" / "jihankobo";
    for (const fs::path &candidate : {here, shared}) {
        if (!resolveInFolder(candidate.string(), CatalogueFileName).empty())
            return candidate.string();
    }
    return here.string();
}

std::string applicationFolderOfProgram(const std::string &programPath)
{
    fs::path folder = fs::path(programPath).parent_path();
    if (folder.empty())
        folder = ".";
    return applicationFolderOf(folder.string());
}

namespace {

bool sameIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

std::string resolveInFolder(const std::string &folder, const std::string &storedPath)
{
    std::vector<std::string> names;
    std::string current;
    for (char c : storedPath) {
        if (c == '\\' || c == '/') {
            if (!current.empty())
                names.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        names.push_back(std::move(current));
    if (names.empty())
        return {};
    if (storedPath.size() >= 2 && storedPath[1] == ':')
        return {}; // a drive letter: not a path inside the folder

    std::error_code ec;
    fs::path at(folder);
    for (const std::string &name : names) {
        if (name == "." )
            continue;
        if (name == "..")
            return {};
        fs::path exact = at / name;
        if (fs::exists(exact, ec)) {
            at = exact;
            continue;
        }
        bool found = false;
        for (fs::directory_iterator it(at, ec), end; !ec && it != end; it.increment(ec)) {
            if (sameIgnoringCase(it->path().filename().string(), name)) {
                at = it->path();
                found = true;
                break;
            }
        }
        if (!found)
            return {};
    }
    if (!fs::is_regular_file(at, ec))
        return {};
    return at.string();
}

std::string paintedPictureFolderName(const std::string &documentPath)
{
    return fs::path(documentPath).stem().string() + "_pictures";
}

std::string paintedPictureName(const std::string &documentPath, int slot)
{
    const std::string number = (slot < 10 ? "0" : "") + std::to_string(slot);
    return paintedPictureFolderName(documentPath) + "\\part_" + number + ".bmp";
}

std::string findPartPicture(const std::string &appFolder, const std::string &documentPath,
                            const std::string &pictName)
{
    if (pictName.empty() || pictName == "dummy")
        return {};
    std::string found = resolveInFolder(appFolder, pictName);
    if (found.empty() && !documentPath.empty())
        found = resolveInFolder(fs::path(documentPath).parent_path().string(), pictName);
    return found;
}

} // namespace jhk
