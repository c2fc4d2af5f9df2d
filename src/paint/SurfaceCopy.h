#pragma once

#include <QImage>
#include <QSize>

namespace jhk {

// One of the drawing's copies (undo, base). Taking a copy shares the drawing's pixels until
// one of them is drawn on (Qt's implicit sharing), and following a size change only notes the
// new size: the pixels are made at that size when a tool first reads the copy. Zooming, which
// changes the size of every surface, thus allocates the zoomed drawing alone, and the copies
// that the next press replaces anyway are never built at the zoomed size.
class SurfaceCopy {
public:
    SurfaceCopy() = default;
    SurfaceCopy(const QImage &image) : image_(image), size_(image.size()), kept_(image.size()) {}

    // Takes the size `size`: the content stays in place from the top-left corner, new area
    // is white.
    void resize(QSize size);
    QSize size() const { return size_; }

    // The copy's pixels, at its size.
    QImage &image();

private:
    QImage image_;
    QSize size_;
    // The part of image_, from its top-left corner, that survived every size change since it
    // was taken.
    QSize kept_;
};

// `image` at `size`, in the surfaces' format: the top-left `kept` part of it in place, white
// everywhere else.
QImage keptFromTopLeft(const QImage &image, QSize size, QSize kept);

} // namespace jhk
