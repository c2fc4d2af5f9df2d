#pragma once

#include "rules/PaperPage.h"

#include <QFont>
#include <QPixmap>

#include <functional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace jhk {

// Qt's fonts for the page layouts: measured on the device they print on (the screen's when
// none is given). "" is the application's font.
class QtPaperMeasure : public PaperMeasure {
public:
    explicit QtPaperMeasure(QPaintDevice *device = nullptr) : m_device(device) {}

    static QFont font(const PaperFont &font);
    double advance(std::string_view text, const PaperFont &font) const override;
    Metrics metrics(const PaperFont &font) const override;
    Ink ink(std::string_view text, const PaperFont &font) const override;

private:
    QPaintDevice *m_device;
};

// The picture a Picture item shows; a null picture draws nothing.
using PaperPictures = std::function<QPixmap(const PaperItem &item)>;

// Draws a laid-out page with `painter`, in the order of its items.
void paintPaperItems(QPainter &painter, const std::vector<PaperItem> &items, const PaperPictures &pictures = {});

} // namespace jhk
