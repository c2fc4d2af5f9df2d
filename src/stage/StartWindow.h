#pragma once

#include "rules/LevelChoice.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace jhk {

class StagePictures;

// The start window frmOpen: the level and the stage's background, and START.
class StartWindow : public QWidget {
    Q_OBJECT
public:
    StartWindow(StagePictures &pictures, int twipsY, QWidget *parent = nullptr);

    const StartChoice &choice() const { return m_choice; }
    QRadioButton *levelOption(int i) const { return m_options[static_cast<std::size_t>(i)]; }
    QScrollBar *backgroundBar() const { return m_background; }
    QPushButton *startButton() const { return m_start; }

signals:
    void started(const jhk::StartChoice &choice);

private:
    StagePictures &m_pictures;
    StartChoice m_choice;
    std::array<QRadioButton *, 3> m_options{};
    QLabel *m_thumbnail = nullptr;
    QScrollBar *m_background = nullptr;
    QPushButton *m_start = nullptr;
};

} // namespace jhk
