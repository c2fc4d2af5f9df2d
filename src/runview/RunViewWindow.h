#pragma once

#include "rules/RunViewModel.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QGridLayout;
class QHBoxLayout;
class QCheckBox;
class QLabel;
class QListWidget;
class QScrollArea;
class QSettings;
class QTableWidget;
class QTimer;

namespace jhk {

class Engine;
class RunFlowchartView;

// The window "実行のようす": the flowchart of the running part with the block being executed
// and the path just taken, the variables of every part, the last messages and sounds, and the
// speed of a normal run. Not modal. It watches the engine only while it is open: closed, it
// takes its observer out and the machine runs at full speed again.
class RunViewWindow : public QWidget {
    Q_OBJECT
public:
    RunViewWindow(Engine &engine, QWidget *parent);
    ~RunViewWindow() override;

    // Shows the window (where it was last, or beside its parent) and starts watching.
    void open();
    // Whether the window was open when the program last ended, and where it was.
    static bool wasOpen();
    // Stores whether the window is open and where it is; called when the program ends.
    void rememberPlacement();

    // The machine may have changed (a run, the selection, a document): redraw once the
    // events of this pass are handled.
    void machineChanged();

    // The speed chosen, an index into RunSpeeds.
    int speed() const { return m_speed; }
    void setSpeed(int index);

    RunViewModel &model() { return m_model; }
    RunFlowchartView *flowchart() const { return m_chart; }
    QTableWidget *table() const { return m_table; }
    QListWidget *logList() const { return m_log; }
    QLabel *statusLabel() const { return m_status; }

    // The compact layout (the flowchart scaled, the speeds in two rows) of a narrow window.
    bool compact() const { return m_compact; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void scheduleRedraw();
    void redraw();
    void fillTable();
    void fillLog();
    void setWatching(bool on);
    void placeBesideParent();
    bool restorePlacement(const QByteArray &stored, const QRect &storedScreen);
    void storePlacement(QSettings &settings) const;
    void setFit(bool fit);
    void setCompact(bool compact);
    void arrangeSpeeds();

    Engine &m_engine;
    RunViewModel m_model;
    bool m_watching = false;
    bool m_needSync = true;
    bool m_compact = false;
    int m_speed = 0;
    std::uint64_t m_shownLog = ~std::uint64_t{0};

    QLabel *m_title = nullptr;
    QLabel *m_status = nullptr;
    QScrollArea *m_scroll = nullptr;
    RunFlowchartView *m_chart = nullptr;
    QCheckBox *m_fit = nullptr;
    QButtonGroup *m_speeds = nullptr;
    QGridLayout *m_speedGrid = nullptr;
    QHBoxLayout *m_columns = nullptr;
    QTableWidget *m_table = nullptr;
    QListWidget *m_log = nullptr;
    QTimer *m_redraw = nullptr;
    QTimer *m_flashEnd = nullptr;
};

} // namespace jhk
