#pragma once

#include "rules/PropertyDialogLogic.h"
#include "rules/StageEditor.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace jhk {

class Catalogue;
class StagePictures;
class UserDialogs;

// The part property dialog frmPDialog "プロパティの設定", shown right after a part is placed
// and by "プロパティの変更..." (then with `shownPicture`, what the part shows on the stage).
class PropertyDialog : public QDialog {
    Q_OBJECT
public:
    PropertyDialog(Machine &machine, const Catalogue &catalogue, int slot, StagePictures &pictures,
                   UserDialogs &dialogs, QWidget *parent = nullptr, const std::string &shownPicture = {});

    PropertyOutcome outcome() const { return m_outcome; }
    PropertyDialogLogic &logic() { return m_logic; }
    QScrollBar *scrollBar() const { return m_scroll; }
    QLineEdit *valueBox(int i) const { return m_values[static_cast<std::size_t>(i)]; }
    QPushButton *editButton() const { return m_edit; }
    QPushButton *okButton() const { return m_ok; }
    // The picture the dialog shows now.
    QPixmap picture() const;

    void pressOk();
    void pressEdit();

protected:
    void reject() override;

private:
    void showPicture();
    // Stores the value boxes as "決定" does; a refused value shows its message, resets its
    // box to "0" and returns false.
    bool storeValues();

    PropertyDialogLogic m_logic;
    StagePictures &m_pictures;
    UserDialogs &m_dialogs;
    PropertyOutcome m_outcome = PropertyOutcome::Closed;
    QLabel *m_image = nullptr;
    QScrollBar *m_scroll = nullptr;
    std::array<QLineEdit *, 3> m_values{};
    QPushButton *m_edit = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace jhk
