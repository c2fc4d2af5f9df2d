#pragma once

#include <QWidget>

namespace jhk {

struct Machine;
class RunViewModel;

// The flowchart of the part the run view shows, drawn by the shared flowchart painter with the
// run's marks: at 1:1, or scaled to fit the widget.
class RunFlowchartView : public QWidget {
    Q_OBJECT
public:
    RunFlowchartView(const Machine &machine, const RunViewModel &model, QWidget *parent = nullptr);

    void setFit(bool fit);
    bool fit() const { return m_fit; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Machine &m_m;
    const RunViewModel &m_model;
    bool m_fit = false;
};

} // namespace jhk
