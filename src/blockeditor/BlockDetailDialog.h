#pragma once

#include "rules/BlockDetailModel.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace jhk {

// The block detail dialog "ブロックの説明" (frmBDialog): shows the block's operands and lets the
// pupil set them. A "指定" button closes it with a pick request for the stage.
class BlockDetailDialog : public QDialog {
    Q_OBJECT
public:
    using MessageFn = std::function<void(const std::string &)>;

    BlockDetailDialog(BlockDetailModel &model, MessageFn message, QWidget *parent = nullptr);

    // The pick on the stage a "指定" button asked for (the dialog then closes).
    const std::optional<StagePickRequest> &pickRequest() const { return m_pick; }

    void reactivate();

    QPushButton *pickButton(int i) const { return m_pickButtons[static_cast<std::size_t>(i)]; }
    QPushButton *okButton() const { return m_ok; }
    QComboBox *operatorList() const { return m_operators; }
    QComboBox *lampList() const { return m_lamp; }
    QLabel *operandLabel(int r) const { return m_operands[static_cast<std::size_t>(r)]; }

private:
    void build();
    void refresh();
    void requestPick(int button);

    BlockDetailModel &m_model;
    MessageFn m_message;
    std::optional<StagePickRequest> m_pick;
    QLabel *m_name = nullptr;
    QLabel *m_explanation = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame2 = nullptr;
    std::array<QLabel *, 2> m_rowTitles{};
    std::array<QLabel *, 5> m_operands{};
    std::array<QLabel *, 5> m_operandCaptions{};
    std::array<QPushButton *, 3> m_pickButtons{};
    QComboBox *m_operators = nullptr;
    QComboBox *m_lamp = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace jhk
