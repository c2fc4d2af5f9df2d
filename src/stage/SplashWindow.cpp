#include "stage/SplashWindow.h"

#include "stage/StageTexts.h"
#include "stage/WindowFrame.h"
#include "ui/StagePictures.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

namespace jhk {

SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString::fromUtf8(ProductName.data(), static_cast<qsizetype>(ProductName.size())));
    setFixedSize(clientSizeOf(436, 286));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    QPixmap splash(QStringLiteral(":/builtin/splash.png"));
    if (splash.isNull())
        splash = StagePictures::placeholder(QSize(436, 286));
    image->setPixmap(splash.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    image->setGeometry(0, 0, width(), height());

    // The picture carries the big title itself; the texts sit on the plain strip at its bottom.
    const int StripTop = 240 * height() / 286; // the strip begins 240 rows down the 286-row picture
    auto *name = new QLabel(QString::fromUtf8(ProductName.data(), static_cast<qsizetype>(ProductName.size())), this);
    name->setObjectName(QStringLiteral("lblProductName"));
    QFont bold = name->font();
    bold.setPixelSize(14);
    bold.setBold(true);
    name->setFont(bold);
    name->adjustSize();
    name->move(12, StripTop + 2);
    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->adjustSize();
    version->move(width() - version->width() - 12, name->y() + name->height() - version->height());
    auto *click = new QLabel(QStringLiteral("－ウィンドウをクリックして下さい。－"), this);
    click->setObjectName(QStringLiteral("Label1"));
    click->adjustSize();
    click->move((width() - click->width()) / 2, height() - click->height() - 6);
    for (QLabel *l : {name, version, click})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString SplashWindow::versionText()
{
    QString v = QCoreApplication::applicationVersion();
    if (v.count(QLatin1Char('.')) < 2)
        v += v.contains(QLatin1Char('.')) ? QStringLiteral(".0") : QStringLiteral(".0.0");
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + v;
}

void SplashWindow::mousePressEvent(QMouseEvent *) { close(); }

void SplashWindow::keyPressEvent(QKeyEvent *event)
{
    if (!event->text().isEmpty())
        close();
}

void SplashWindow::closeEvent(QCloseEvent *event)
{
    emit closed();
    event->accept();
}

} // namespace jhk
