#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <functional>

// Shared look of every generated picture: flat fills, a dark friendly outline, soft highlights.
namespace assetgen {

inline const QColor Ink(0x33, 0x30, 0x3a);       // outline colour of every drawing
inline const QColor PanelGrey(0xe8, 0xea, 0xee); // the machines' control panel, around part pictures
inline const QColor Chrome(0xcf, 0xd4, 0xdb);
inline const QColor ChromeDark(0x9a, 0xa1, 0xab);
inline const QColor Hole(0x2a, 0x2c, 0x33);      // slots and openings
inline const QColor LedBack(0x1b, 0x1d, 0x1f);    // background of the amount display digits
inline const QColor LedOn(0xff, 0x5a, 0x3c);
inline const QColor LedGhost(0x36, 0x27, 0x25);

// A blank picture, ready for antialiased drawing.
QImage canvas(int width, int height, const QColor &fill = Qt::transparent);

// A picture of the given size drawn by `paint` with antialiasing.
QImage picture(int width, int height, const QColor &fill, const std::function<void(QPainter &)> &paint);

// A painter with antialiasing and smooth picture scaling switched on.
void beginPainter(QPainter &p, QImage &image);

QPen inkPen(qreal width = 1.0, const QColor &colour = Ink);

// The Japanese user-interface font (IPAGothic), sized in pixels.
QFont uiFont(qreal pixelSize, bool bold = false);

// Rectangle aligned on pixel centres, so a one-pixel outline stays sharp.
QRectF crisp(qreal x, qreal y, qreal w, qreal h);

void outlinedRect(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, qreal penWidth = 1.0);
void outlinedEllipse(QPainter &p, const QRectF &r, const QColor &fill, qreal penWidth = 1.0);

void drawText(QPainter &p, const QRectF &r, const QString &text, const QColor &colour,
              qreal pixelSize, bool bold = false, int flags = Qt::AlignCenter);

// Text with a thin coloured rim, for titles on busy backgrounds.
void drawRimmedText(QPainter &p, const QRectF &r, const QString &text, const QColor &colour,
                    const QColor &rim, qreal pixelSize, qreal rimWidth);

// Vertical text, one character under the other, centred in r.
void drawVerticalText(QPainter &p, const QRectF &r, const QString &text, const QColor &colour,
                      qreal pixelSize, bool bold = true);

// A band swinging up and down across [left, right] from height y, `thickness` high.
QPainterPath wavyBand(qreal left, qreal right, qreal y, qreal swing, qreal thickness);

// A drop with its tip at the top centre of `bounds` and a round bottom.
QPainterPath dropShape(const QRectF &bounds);

// A five-pointed star centred on c.
void drawStar(QPainter &p, QPointF c, qreal outer, const QColor &fill);

} // namespace assetgen
