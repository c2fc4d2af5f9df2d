#include "stage/SplashWindow.h"

#include "stage/StageTexts.h"
#include "stage/WindowFrame.h"
#include "ui/StagePictures.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

namespace jhk {

namespace {

// The built-in splash picture fitted to the window's inside `size`.
QPixmap splashPicture(QSize size)
{
    QImage picture = StagePictures::builtInImage(QStringLiteral(":/builtin/splash.bmp"));
    if (picture.isNull())
        return StagePictures::placeholder(size);
    // The built-in picture has the window's inside size already; another one is fitted.
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return QPixmap::fromImage(std::move(picture));
}

} // namespace

SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString::fromUtf8(ProductName.data(), static_cast<qsizetype>(ProductName.size())));
    setFixedSize(clientSizeOf(436, 286));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(splashPicture(size()));
    image->setGeometry(0, 0, width(), height());

    // The picture carries the big title itself; the texts sit on the plain strip at its bottom.
    // They are placed by alignment inside fixed rows instead of being measured, so the window
    // can appear before the fonts are loaded: they are loaded when it is first drawn.
    const int StripTop = 240 * height() / 286; // the strip begins 240 rows down the 286-row picture
    // Each text sits on the bottom line of a row tall enough for any usual font size; the
    // title's bottom line is where a 14-pixel bold line starting 2 pixels into the strip ends.
    constexpr int RowHeight = 28;
    constexpr int Margin = 12;
    const int titleBottom = StripTop + 2 + 16;
    const QRect titleRow(Margin, titleBottom - RowHeight, width() - 2 * Margin, RowHeight);
    auto *name = new QLabel(QString::fromUtf8(ProductName.data(), static_cast<qsizetype>(ProductName.size())), this);
    name->setObjectName(QStringLiteral("lblProductName"));
    QFont bold = name->font();
    bold.setPixelSize(14);
    bold.setBold(true);
    name->setFont(bold);
    name->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    name->setGeometry(titleRow);
    // The version shares the title's bottom line, at the right.
    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    version->setGeometry(titleRow);
    auto *click = new QLabel(QStringLiteral("－ウィンドウをクリックして下さい。－"), this);
    click->setObjectName(QStringLiteral("Label1"));
    click->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    click->setGeometry(0, height() - 6 - RowHeight, width(), RowHeight); // 6 pixels above the bottom
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
