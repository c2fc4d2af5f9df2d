#pragma once

#include <QDialog>

#include <array>

class QRadioButton;

namespace jhk {

struct AppState;
class UserDialogs;

// The environment settings frmOption "環境設定": the level can be raised, never lowered.
class OptionDialog : public QDialog {
    Q_OBJECT
public:
    OptionDialog(AppState &app, UserDialogs &dialogs, QWidget *parent = nullptr);

    QRadioButton *levelOption(int index) const { return m_options[static_cast<std::size_t>(index)]; }
    void pressOk();

signals:
    void levelRaised();

private:
    AppState &m_app;
    UserDialogs &m_dialogs;
    std::array<QRadioButton *, 3> m_options{};
};

} // namespace jhk
