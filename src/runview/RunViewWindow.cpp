#include "runview/RunViewWindow.h"

#include "engine/Engine.h"
#include "rules/RunSpeed.h"
#include "runview/RunFlowchartView.h"
#include "rules/RunViewPlacement.h"
#include "ui/Colours.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QWindow>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace jhk {

namespace {

constexpr QSize DefaultSize(RunViewSizes::Width, RunViewSizes::Height);
constexpr int LogHeight = 110;
const QColor FlashColour = colorFromTable(RunViewModel::FlashColour);
const QColor HintColour = colorFromTable(RunViewModel::HintColour);

QString qs(const std::string &s) { return QString::fromStdString(s); }

ScreenRect screenRect(const QRect &r) { return {r.x(), r.y(), r.width(), r.height()}; }

QRect availableArea(const QWidget *w)
{
    const QScreen *screen = w->screen();
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), DefaultSize);
}

QSettings placementSettings() { return QSettings(QStringLiteral("jihankobo"), QStringLiteral("jihankobo")); }
const QString OpenKey = QStringLiteral("runView/open");
const QString GeometryKey = QStringLiteral("runView/geometry");
const QString ScreenKey = QStringLiteral("runView/screen");

} // namespace

RunViewWindow::RunViewWindow(Engine &engine, QWidget *parent)
    // A tool window of the main window: the window manager keeps it above the window it belongs
    // to, so a click on the machine never hides the flowchart.
    : QWidget(parent, Qt::Tool), m_engine(engine), m_model(engine.machine(), engine.catalogue())
{
    setObjectName(QStringLiteral("frmRunView"));
    setWindowTitle(QStringLiteral("実行のようす"));
    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    m_redraw->setInterval(0);
    connect(m_redraw, &QTimer::timeout, this, &RunViewWindow::redraw);
    m_flashEnd = new QTimer(this);
    m_flashEnd->setSingleShot(true);
    connect(m_flashEnd, &QTimer::timeout, this, &RunViewWindow::redraw);
    // Many events in one pass of the event loop (a whole program at full speed) draw once.
    m_model.setChangeHandler([this] { scheduleRedraw(); });
    buildLayout();
    resize(DefaultSize);
    if (parent)
        parent->window()->installEventFilter(this);
}

RunViewWindow::~RunViewWindow()
{
    setWatching(false);
}

void RunViewWindow::buildLayout()
{
    auto *columns = new QHBoxLayout(this);

    auto *left = new QVBoxLayout;
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("runViewTitle"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    left->addWidget(m_title);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("runViewStatus"));
    m_status->setWordWrap(true);
    m_status->setMinimumHeight(2 * m_status->fontMetrics().height());
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    left->addWidget(m_status);
    m_chart = new RunFlowchartView(m_engine.machine(), m_model, this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_chart);
    m_scroll->setAlignment(Qt::AlignCenter);
    left->addWidget(m_scroll, 1);
    m_fit = new QCheckBox(QStringLiteral("縮小して全体を表示"), this);
    m_fit->setObjectName(QStringLiteral("runViewFit"));
    connect(m_fit, &QCheckBox::toggled, this, &RunViewWindow::setFit);
    left->addWidget(m_fit);
    columns->addLayout(left, 0);
    m_columns = columns;
    setFit(false);

    auto *right = new QVBoxLayout;
    auto *speedBox = new QGroupBox(QStringLiteral("速さ"), this);
    m_speedGrid = new QGridLayout(speedBox);
    m_speeds = new QButtonGroup(this);
    for (std::size_t i = 0; i < RunSpeeds.size(); ++i) {
        const std::string_view caption = RunSpeeds[i].caption;
        auto *b = new QRadioButton(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), speedBox);
        b->setObjectName(QStringLiteral("runSpeed%1").arg(i));
        m_speeds->addButton(b, static_cast<int>(i));
    }
    arrangeSpeeds();
    m_speeds->button(0)->setChecked(true);
    connect(m_speeds, &QButtonGroup::idClicked, this, &RunViewWindow::setSpeed);
    right->addWidget(speedBox);

    right->addWidget(new QLabel(QStringLiteral("パーツと変数"), this));
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("runViewTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    right->addWidget(m_table, 1);

    right->addWidget(new QLabel(QStringLiteral("メッセージと音"), this));
    m_log = new QListWidget(this);
    m_log->setObjectName(QStringLiteral("runViewLog"));
    m_log->setFixedHeight(LogHeight);
    m_log->setSelectionMode(QAbstractItemView::NoSelection);
    m_log->setFocusPolicy(Qt::NoFocus);
    right->addWidget(m_log);
    columns->addLayout(right, 1);
}

void RunViewWindow::arrangeSpeeds()
{
    // Four in a row, or two rows of two in the compact window.
    const int perRow = m_compact ? 2 : static_cast<int>(RunSpeeds.size());
    for (int i = 0; i < static_cast<int>(RunSpeeds.size()); ++i) {
        QAbstractButton *b = m_speeds->button(i);
        m_speedGrid->removeWidget(b);
        m_speedGrid->addWidget(b, i / perRow, i % perRow);
    }
    m_speedGrid->setColumnStretch(perRow, 1);
    for (int c = 0; c < perRow; ++c)
        m_speedGrid->setColumnStretch(c, 0);
}

void RunViewWindow::setCompact(bool compact)
{
    if (m_compact == compact)
        return;
    m_compact = compact;
    arrangeSpeeds();
    // The compact window shows the whole flowchart scaled, beside the table.
    m_columns->setStretch(0, compact ? 1 : 0);
    m_columns->setStretch(1, 1);
    if (compact && !m_fit->isChecked())
        m_fit->setChecked(true);
    else
        setFit(m_fit->isChecked());
}

void RunViewWindow::setFit(bool fit)
{
    m_chart->setFit(fit);
    m_scroll->setWidgetResizable(fit);
    if (fit) {
        m_chart->setMinimumSize(120, 150);
        m_scroll->setMinimumWidth(160);
    } else if (m_compact) {
        // Unscaled in the compact window: the scroll bars show the rest.
        m_chart->setMinimumSize(m_chart->sizeHint());
        m_chart->resize(m_chart->sizeHint());
        m_scroll->setMinimumWidth(160);
    } else {
        m_chart->setMinimumSize(m_chart->sizeHint());
        m_chart->resize(m_chart->sizeHint());
        // Wide enough for the whole canvas: a scroll bar only when the window is low.
        m_scroll->setMinimumWidth(m_chart->sizeHint().width() + m_scroll->frameWidth() * 2
                                  + m_scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    }
}

void RunViewWindow::setSpeed(int index)
{
    if (index < 0 || index >= static_cast<int>(RunSpeeds.size()))
        return;
    m_speed = index;
    if (QAbstractButton *b = m_speeds->button(index); b && !b->isChecked())
        b->setChecked(true);
    if (m_watching)
        m_engine.setBlockDelayMs(RunSpeeds[static_cast<std::size_t>(index)].blockDelayMs);
}

void RunViewWindow::setWatching(bool on)
{
    if (on) {
        m_engine.setObserver(&m_model);
        m_engine.setBlockDelayMs(RunSpeeds[static_cast<std::size_t>(m_speed)].blockDelayMs);
    } else if (m_watching) {
        // Closed, the run view costs a run nothing and slows nothing down.
        if (m_engine.observer() == &m_model)
            m_engine.setObserver(nullptr);
        m_engine.setBlockDelayMs(0);
    }
    m_watching = on;
}

void RunViewWindow::open()
{
    if (!isVisible()) {
        QSettings settings = placementSettings();
        if (!restorePlacement(settings.value(GeometryKey).toByteArray(), settings.value(ScreenKey).toRect()))
            placeBesideParent();
        show();
    }
    raise();
    activateWindow();
    setWatching(true);
    if (!m_engine.runEndCurrent())
        m_model.forgetRunEnd();
    m_needSync = true;
    redraw();
    placementSettings().setValue(OpenKey, true);
}

bool RunViewWindow::wasOpen()
{
    return placementSettings().value(OpenKey, false).toBool();
}

void RunViewWindow::rememberPlacement()
{
    QSettings settings = placementSettings();
    settings.setValue(OpenKey, isVisible());
    if (isVisible())
        storePlacement(settings);
}

void RunViewWindow::closeEvent(QCloseEvent *event)
{
    QSettings settings = placementSettings();
    settings.setValue(OpenKey, false);
    storePlacement(settings);
    setWatching(false);
    event->accept();
}

bool RunViewWindow::restorePlacement(const QByteArray &stored, const QRect &storedScreen)
{
    // Where the pupil last had it, on a screen of the same size; on another screen (a school
    // laptop after a large monitor) it opens where that screen has room for it.
    if (stored.isEmpty() || storedScreen != availableArea(parentWidget() ? parentWidget()->window() : this)
        || !restoreGeometry(stored))
        return false;
    setCompact(runViewCompact(width()));
    return true;
}

void RunViewWindow::storePlacement(QSettings &settings) const
{
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(ScreenKey, availableArea(parentWidget() ? parentWidget()->window() : this));
}

void RunViewWindow::placeBesideParent()
{
    QWidget *main = parentWidget() ? parentWidget()->window() : nullptr;
    if (!main)
        return;
    // The main window's frame tells how much a frame adds; this window has not been framed yet.
    const QRect frame = main->frameGeometry();
    const int frameWidth = frame.width() - main->width();
    const int frameHeight = frame.height() - main->height();
    const RunViewPlacement placed = placeRunView(screenRect(availableArea(main)), screenRect(frame), frameWidth, frameHeight);
    if (placed.mainX)
        main->move(*placed.mainX, main->y()); // room beside it on a school laptop's screen
    setCompact(placed.compact);
    resize(placed.frame.width - frameWidth, placed.frame.height - frameHeight);
    move(placed.frame.x, placed.frame.y);
}

bool RunViewWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Where a window manager lets the main window come up over its tool windows (or there is
    // none), this window comes back above it whenever the main window is activated.
    if (event->type() == QEvent::WindowActivate && isVisible() && watched == parentWidget()->window())
        raise();
    return QWidget::eventFilter(watched, event);
}

void RunViewWindow::machineChanged()
{
    if (!isVisible())
        return;
    if (!m_engine.runEndCurrent())
        m_model.forgetRunEnd();
    m_model.followMode();
    m_needSync = true;
    scheduleRedraw();
}

void RunViewWindow::scheduleRedraw()
{
    if (!m_redraw->isActive())
        m_redraw->start();
}

void RunViewWindow::redraw()
{
    if (m_needSync) {
        m_needSync = false;
        m_model.sync();
    }
    m_model.takeChanged();
    m_redraw->stop(); // what the sync scheduled is drawn now
    m_title->setText(qs(m_model.title()));
    m_status->setText(qs(m_model.status()));
    QPalette pal = palette();
    if (m_model.quietStop())
        pal.setColor(QPalette::WindowText, HintColour);
    m_status->setPalette(pal);
    fillTable();
    fillLog();
    m_chart->update();
}

void RunViewWindow::fillTable()
{
    const auto &rows = m_model.rows();
    std::size_t cells = 0;
    for (const auto &row : rows)
        cells = std::max(cells, row.cells.size());
    const int columns = 2 + static_cast<int>(cells);
    if (m_table->columnCount() != columns) {
        m_table->setColumnCount(columns);
        QStringList headers{QStringLiteral("番号"), QStringLiteral("種類")};
        for (std::size_t c = 0; c < cells; ++c)
            headers << QStringLiteral("変数");
        m_table->setHorizontalHeaderLabels(headers);
    }
    if (m_table->rowCount() != static_cast<int>(rows.size()))
        m_table->setRowCount(static_cast<int>(rows.size()));

    const std::int64_t now = m_model.now();
    auto put = [&](int r, int c, const QString &text, bool bold, bool flash) {
        QTableWidgetItem *item = m_table->item(r, c);
        if (!item) {
            item = new QTableWidgetItem;
            m_table->setItem(r, c, item);
        }
        if (item->text() != text)
            item->setText(text);
        if (item->font().bold() != bold) {
            QFont f = m_table->font();
            f.setBold(bold);
            item->setFont(f);
        }
        const QBrush background = flash ? QBrush(FlashColour) : QBrush();
        if (item->background() != background)
            item->setBackground(background);
    };
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const RunViewModel::Row &row = rows[static_cast<std::size_t>(r)];
        const bool shown = row.slot == m_model.shownPart();
        put(r, 0, QStringLiteral("No.%1").arg(row.slot), shown, false);
        put(r, 1, qs(row.kindName), shown, false);
        for (int c = 0; c < static_cast<int>(cells); ++c) {
            if (c < static_cast<int>(row.cells.size())) {
                const RunViewModel::Cell &cell = row.cells[static_cast<std::size_t>(c)];
                const bool flash = m_model.flashing(cell, now);
                put(r, 2 + c, qs(cell.label + " " + cell.value), flash, flash);
            } else {
                put(r, 2 + c, QString(), false, false);
            }
        }
    }
    // Unmark the values when their moment is over.
    const std::int64_t end = m_model.nextFlashEnd(now);
    if (end >= 0)
        m_flashEnd->start(static_cast<int>(std::max<std::int64_t>(1, end - now + 5)));
}

void RunViewWindow::fillLog()
{
    if (m_shownLog == m_model.logSerial())
        return;
    m_shownLog = m_model.logSerial();
    m_log->clear();
    for (const std::string &line : m_model.log())
        m_log->addItem(qs(line));
    m_log->scrollToBottom();
}

} // namespace jhk
