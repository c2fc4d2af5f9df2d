#include "stage/StartWindow.h"

#include "rules/StageTexts.h"
#include "stage/WindowFrame.h"
#include "ui/StagePictures.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace jhk {

namespace {

QSize thumbnailSize(int n) { return n == 4 ? QSize(123, 150) : QSize(105, 119); }

} // namespace

StartWindow::StartWindow(StagePictures &pictures, int twipsY, QWidget *parent)
    : QWidget(parent), m_pictures(pictures)
{
    setObjectName(QStringLiteral("frmOpen"));
    setWindowTitle(QString::fromUtf8(StartWindowTitle.data(), static_cast<qsizetype>(StartWindowTitle.size())));
    setFixedSize(clientSizeOf(392, 305));
    auto points = [&](int pixels) {
        QFont f = font();
        f.setPointSize(std::max(1, pixels * twipsY / 20));
        return f;
    };
    auto *title = new QLabel(QStringLiteral("ジハンコウボウ  "), this);
    title->setObjectName(QStringLiteral("Label2"));
    title->setFont(points(16));
    title->setGeometry(16, 16, 249, 33);

    auto *levels = new QGroupBox(QStringLiteral("レベル選択"), this);
    levels->setObjectName(QStringLiteral("FrameLEVEL"));
    levels->setGeometry(8, 48, 217, 225);
    static const char *captions[] = {"レベル１", "レベル２", "レベル３"};
    for (int i = 0; i < 3; ++i) {
        auto *option = new QRadioButton(QString::fromUtf8(captions[i]), levels);
        option->setObjectName(QStringLiteral("optLevel%1").arg(i));
        option->setFont(points(18));
        option->setGeometry(20, 24 + 64 * i, 169, option->sizeHint().height());
        option->setChecked(i == 0);
        connect(option, &QRadioButton::clicked, this, [this, i] { m_choice.level = i + 1; });
        auto *text = new QLabel(QString::fromStdString(startWindowLevelText(i)), levels);
        text->setObjectName(QStringLiteral("lblSetsumei%1").arg(i));
        text->setFont(points(12));
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setGeometry(32, 52 + 64 * i, 175, 32);
        m_options[static_cast<std::size_t>(i)] = option;
    }

    auto *backgrounds = new QGroupBox(QStringLiteral("背景選択"), this);
    backgrounds->setObjectName(QStringLiteral("FrameHaikei"));
    backgrounds->setGeometry(238, 48, 129, 169);
    m_thumbnail = new QLabel(backgrounds);
    m_thumbnail->setObjectName(QStringLiteral("Image1"));
    m_thumbnail->setGeometry(11, 18, 105, 119);
    m_thumbnail->setScaledContents(true);
    m_background = new QScrollBar(Qt::Horizontal, backgrounds);
    m_background->setObjectName(QStringLiteral("HScroll1"));
    m_background->setGeometry(11, 138, 105, 17);
    m_background->setRange(0, 4);
    m_background->setPageStep(1);
    auto showThumbnail = [this](int v) {
        m_choice.background = v;
        m_thumbnail->setPixmap(
            m_pictures.resource(QStringLiteral(":/builtin/thumbs/bg_%1.png").arg(v), thumbnailSize(v)));
    };
    connect(m_background, &QScrollBar::valueChanged, this, showThumbnail);
    showThumbnail(0);

    m_start = new QPushButton(QStringLiteral("START"), this);
    m_start->setObjectName(QStringLiteral("cmdOK"));
    m_start->setFont(points(12));
    m_start->setGeometry(246, 240, 110, 30);
    m_start->setDefault(true);
    connect(m_start, &QPushButton::clicked, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        emit started(m_choice);
        close();
        QApplication::restoreOverrideCursor();
    });
}

} // namespace jhk
