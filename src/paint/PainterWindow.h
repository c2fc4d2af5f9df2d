#pragma once

#include "paint/PaintEntry.h"
#include "paint/PaintSession.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QFileDialog;
class QScrollArea;

namespace jhk {

class CanvasView;
class PaletteStrip;
class PaletteWindow;
class ToolColumn;

// The paint window "ﾍﾟｲﾝﾄﾂｰﾙ": lays out the tool column, the stage holding the drawing and
// the palette strip, and turns menus and buttons into calls on the session.
class PainterWindow : public QMainWindow
{
    Q_OBJECT
public:
    PainterWindow(QWidget *owner, double twipsX, double twipsY);
    ~PainterWindow() override;

    // Starts over with a picture and the hooks of the part it belongs to.
    void start(const QImage &picture, PaintHooks hooks);

    PaintSession &session() { return session_; }
    CanvasView *canvas() const { return canvas_; }
    ToolColumn *toolColumn() const { return tools_; }
    PaletteStrip *paletteStrip() const { return strip_; }
    PaletteWindow *paletteWindow() const { return paletteWindow_; }
    QAction *action(const char *name) const;

    // The buttons and menu commands, as their controls run them.
    void ok();
    void cancel();
    void newPicture();
    void openPicture();
    // Open, once the file is chosen: a file that is no picture is reported and changes nothing.
    void openPictureFile(const QString &path);
    void savePictureAs();
    void quit();
    void changeSize();
    void showPalette();
    // Closes the window without handing anything back.
    void discard();

    // Follows the session in every control.
    void refresh();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void layOut();
    // Asks before the drawing is thrown away; `confirmed` runs once the pupil said yes.
    void confirmLosingTheDrawing(std::function<void()> confirmed);
    QFileDialog *openFileDialog(const QString &caption, bool save);
    void finish(const QImage &picture);
    static QString pictureFilters();

    PaintSession session_;
    PaintHooks hooks_;
    QWidget *owner_;
    QWidget *client_;
    ToolColumn *tools_;
    QScrollArea *stage_;
    CanvasView *canvas_;
    PaletteStrip *strip_;
    PaletteWindow *paletteWindow_;
    bool finished_ = false;
};

} // namespace jhk
