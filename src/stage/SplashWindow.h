#pragma once

#include <QWidget>

namespace jhk {

// The splash window frmSplash: the product's picture, title and version. A click or a key
// closes it, and closing it leads on to the start window.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    // "ﾊﾞｰｼﾞｮﾝ 1.0.0"
    static QString versionText();

signals:
    void closed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

} // namespace jhk
