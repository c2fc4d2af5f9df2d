#include "stage/SplashWindow.h"

#include "rules/StageTexts.h"
#include "stage/WindowFrame.h"
#include "ui/StagePictures.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>

namespace jhk {

namespace {

QString productName()
{
    return QString::fromUtf8(ProductName.data(), static_cast<qsizetype>(ProductName.size()));
}

// The built-in splash picture fitted to the window's inside `size`.
QImage splashPicture(QSize size)
{
    QImage picture = StagePictures::builtInImage(QStringLiteral(":/builtin/splash.bmp"));
    if (picture.isNull())
        return StagePictures::placeholder(size).toImage();
    // The built-in picture has the window's inside size already; another one is fitted.
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

// What a screen reader says about the splash: its title, and the texts on the picture.
class SplashAccessible : public QAccessibleWidget {
public:
    explicit SplashAccessible(SplashWindow *window) : QAccessibleWidget(window, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Description)
            return QAccessibleWidget::text(t);
        QStringList lines;
        for (const SplashWindow::Text &text : static_cast<const SplashWindow *>(widget())->texts())
            lines << text.text;
        return lines.join(QLatin1Char('\n'));
    }
};

QAccessibleInterface *splashAccessible(const QString &, QObject *object)
{
    auto *window = qobject_cast<SplashWindow *>(object);
    return window ? new SplashAccessible(window) : nullptr;
}

} // namespace

SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent)
{
    // Screen readers get the drawn texts through this interface, installed with the first splash.
    static const bool readable = (QAccessible::installFactory(splashAccessible), true);
    Q_UNUSED(readable);
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(productName());
    setFixedSize(clientSizeOf(436, 286));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_picture = splashPicture(size()); // Image1

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
    QFont bold = font();
    bold.setPixelSize(14);
    bold.setBold(true);
    m_texts = {{
        {"lblProductName", productName(), bold, titleRow, Qt::AlignLeft | Qt::AlignBottom},
        // The version shares the title's bottom line, at the right.
        {"lblVersion", versionText(), font(), titleRow, Qt::AlignRight | Qt::AlignBottom},
        // 6 pixels above the bottom
        {"Label1", QStringLiteral("－ウィンドウをクリックして下さい。－"), font(),
         QRect(0, height() - 6 - RowHeight, width(), RowHeight), Qt::AlignHCenter | Qt::AlignBottom},
    }};
}

QString SplashWindow::versionText()
{
    QString v = QCoreApplication::applicationVersion();
    if (v.count(QLatin1Char('.')) < 2)
        v += v.contains(QLatin1Char('.')) ? QStringLiteral(".0") : QStringLiteral(".0.0");
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + v;
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
    p.setPen(palette().color(QPalette::WindowText));
    for (const Text &text : m_texts) {
        p.setFont(text.font);
        p.drawText(text.place, static_cast<int>(text.alignment), text.text);
    }
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
