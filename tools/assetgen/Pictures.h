#pragma once

#include <QImage>

namespace assetgen {

class AssetWriter;

// The application folder's part pictures, the built-in part, palette, coin, wallet and digit
// pictures.
void writePartPictures(AssetWriter &out);

// The five stage backgrounds and their thumbnails.
void writeBackgrounds(AssetWriter &out);
QImage machineFront(int n);

// The splash, the pointing hand, the branch markers and the paint tool's pictures.
void writeWindowPictures(AssetWriter &out);

// "kan.wav" and "Money_1.wav".
void writeSounds(AssetWriter &out);

// The program's icon at every size of the desktop's icon theme, and as SVG.
void writeIcons(AssetWriter &out);

// One picture showing every generated picture with its name.
QImage contactSheet(const AssetWriter &out);

} // namespace assetgen
