#pragma once

#include "rules/BlockPanel.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace jhk {

struct Machine;

inline constexpr const char *DetailCaption = "ブロックの説明";
inline constexpr const char *StockPrompt = "在庫数比較：0以上1000以下の数値を入力して下さい";
inline constexpr const char *NumbersOnlyMessage = "数値以外は受け付けられません";
inline constexpr const char *LampStateOnText = "点灯";
inline constexpr const char *LampStateOffText = "消灯";

// A drop-down list of the dialog.
struct DetailList {
    std::vector<std::string> items;
    std::string text;
    bool visible = false;
};

// What a "指定" button asks for: the pupil picks a part on the stage in `runMode`, after
// `message` (shown at level 1, or for a move target) when it is not empty.
struct StagePickRequest {
    int runMode = 0;
    std::string message;
};

// The rules of the block detail dialog "ブロックの説明" of the selected block: which operand
// rows, "指定" buttons and lists it shows for the block's kind, what the buttons ask for, and
// what "ＯＫ" writes into the block. The operand texts come from the editor's selected-block
// panel and go back into it.
class BlockDetailModel {
public:
    // Opens the dialog for block `block` of part `part`. `appDir` holds block.ini.
    BlockDetailModel(Machine &m, int part, int block, BlockPanel &panel, const std::string &appDir);

    bool isBranch() const { return m_kind == 28; }
    int widthPx() const { return isBranch() ? 418 : 259; }
    static constexpr int HeightPx = 296;

    const std::string &blockName() const { return m_blockName; }
    const std::string &explanation() const { return m_explanation; }
    const std::string &frame1Caption() const { return m_frame1; }
    const std::string &frame2Caption() const { return m_frame2; }
    const std::array<ShownText, 2> &rowTitles() const { return m_rowTitles; }
    const std::array<ShownText, 5> &operands() const { return m_operands; }
    const std::array<bool, 3> &pickButtons() const { return m_pickButtons; }
    const DetailList &operatorList() const { return m_operators; }
    const DetailList &lampList() const { return m_lamp; }

    // The dialog is shown again after a pick on the stage.
    void reactivate();

    // "指定" button 0, 1 or 2 (operand 1, 2 or 4). Only while editing. Returns the pick to
    // start on the stage, or nothing (the third button of a branch on a stock count asks for a
    // number instead: see needsStockNumber).
    std::optional<StagePickRequest> requestPick(int button);
    bool needsStockNumber(int button) const;
    // The answer to the stock-number prompt; returns the message to show, or "".
    std::string enterStockNumber(const std::string &answer);

    void chooseOperator(const std::string &text);
    void chooseLamp(const std::string &text);

    // "ＯＫ": writes the operator and lamp state, marks the block complete when an operand is set.
    void confirm();

private:
    BlockRecord &block();
    void applyLampOrStockRules(bool presetLamp);
    bool isOneOperandKind() const;

    Machine &m_machine;
    int m_part;
    int m_block;
    int m_kind;
    BlockPanel &m_panel;
    std::string m_blockName;
    std::string m_explanation = DetailCaption;
    std::string m_frame1 = "ブロックの詳細";
    std::string m_frame2;
    std::array<ShownText, 2> m_rowTitles;
    std::array<ShownText, 5> m_operands;
    std::array<bool, 3> m_pickButtons{true, true, true};
    DetailList m_operators;
    DetailList m_lamp;
};

} // namespace jhk
