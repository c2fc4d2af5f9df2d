#include "engine/Stage.h"

#include "engine/PictureSizes.h"
#include "model/AppState.h"

namespace jhk {

Stage::Stage()
{
    for (CoinLabel &l : coinLabels)
        l.text = "0枚";
}

int Stage::widthTwips(const Machine &m)
{
    return StageWidthPixels * m.app.TwipsX;
}

int Stage::heightTwips(const Machine &m)
{
    return StageHeightPixels * m.app.TwipsY;
}

bool Stage::isOutside(const Machine &m, const StageRect &r)
{
    return r.left < 0 || r.top < 0 || r.left + r.width > widthTwips(m)
        || r.top + r.height / 2.0 > heightTwips(m);
}

void Stage::setPartPicture(const Machine &m, const PictureSizes &sizes, int i, const std::string &picture)
{
    if (!isPartSlot(i))
        return;
    PartControl &c = part(i);
    c.picture = picture;
    const PixelSize px = partPictureSize(sizes, m.part(i).Kind, picture);
    c.rect.width = px.width * m.app.TwipsX;
    c.rect.height = px.height * m.app.TwipsY;
}

void Stage::showSelection(const Machine &m, int selKind, int i)
{
    StageRect r;
    if (selKind == SelectionPart) {
        if (!isPartSlot(i))
            return;
        r = part(i).rect;
    } else {
        if (i < 0 || i >= LabelSlots)
            return;
        r = labels[static_cast<std::size_t>(i)].rect;
    }
    const int dx = 4 * m.app.TwipsX;
    const int dy = 4 * m.app.TwipsY;
    selection.rect = {r.left - dx, r.top - dy, r.width + 2 * dx, r.height + 2 * dy};
}

void Stage::frameTightly(const StageRect &r)
{
    selection.rect = {r.left - 4, r.top - 4, r.width + 8, r.height + 8};
}

StageRect Stage::digitBox(const Machine &m, int k, int digitWidth)
{
    return {m.app.DigitLeft + digitWidth * (AmountDigits - k), m.app.DigitTop, DigitBoxWidth,
            DigitBoxHeight};
}

} // namespace jhk
