// Draws every picture and synthesises both sounds of the program, writing them into the
// source tree (src/assets/, the icons in src/app/icons/) together with a contact sheet (docs/contact-sheet.png).
// The output is committed; running the generator again writes the same bytes.

#include "AssetWriter.h"
#include "Pictures.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr const char *IpaGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

bool report(const assetgen::AssetWriter &out)
{
    for (const QString &e : out.errors())
        std::fprintf(stderr, "jhk_assetgen: %s\n", qPrintable(e));
    return out.errors().isEmpty();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: jhk_assetgen <repository folder>\n");
        return 2;
    }
    // The pictures must look the same wherever they are made: insist on the one font.
    if (QFontDatabase::addApplicationFont(QString::fromLatin1(IpaGothic)) < 0) {
        std::fprintf(stderr, "jhk_assetgen: the font %s is missing (package fonts-ipafont-gothic)\n", IpaGothic);
        return 1;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));

    assetgen::AssetWriter assets(root.filePath(QStringLiteral("src/assets")));
    assetgen::writeBackgrounds(assets);
    assetgen::writePartPictures(assets);
    assetgen::writeWindowPictures(assets);
    assetgen::writeSounds(assets);

    assetgen::AssetWriter icons(root.filePath(QStringLiteral("src/app/icons")));
    assetgen::writeIcons(icons);

    assetgen::AssetWriter docs(root.filePath(QStringLiteral("docs")));
    docs.png(QStringLiteral("contact-sheet.png"), assetgen::contactSheet(assets));

    return report(assets) && report(icons) && report(docs) ? 0 : 1;
}
