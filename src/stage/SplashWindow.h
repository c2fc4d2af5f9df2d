#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>

namespace jhk {

// The splash window frmSplash: the product's picture, title and version. A click or a key
// closes it, and closing it leads on to the start window.
//
// Its picture (Image1) and texts are drawn by the window itself rather than being widgets of
// their own: the window is shown with nothing measured or decoded, and the texts reach screen
// readers through the window's description.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    // "ﾊﾞｰｼﾞｮﾝ 1.0.0"
    static QString versionText();

    // One text drawn on the picture: lblProductName, lblVersion, Label1.
    struct Text {
        const char *name;
        QString text;
        QFont font;
        QRect place;
        Qt::Alignment alignment;
    };
    const std::array<Text, 3> &texts() const { return m_texts; }

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QImage m_picture;
    std::array<Text, 3> m_texts;
};

} // namespace jhk
