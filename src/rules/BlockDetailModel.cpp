#include "rules/BlockDetailModel.h"
#include "rules/NumberText.h"

#include "model/AppState.h"
#include "model/Fields.h"

#include <sstream>

namespace jhk {

namespace {

constexpr const char *SoldOutLampLabel = "売切ランプ";
constexpr const char *BuyLampLabel = "購買可ランプ";
constexpr const char *StockLabel = "在庫数";

bool isSet(const std::string &text)
{
    return !text.empty() && text != "-1" && text != NotSetText;
}

std::string explanationOf(int kind, const std::string &appDir)
{
    const std::vector<std::string> fields = readFieldFile(appDir + "/block.ini");
    const std::string t = std::to_string(kind);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == t)
            return i + 1 < fields.size() ? fields[i + 1] : std::string();
    }
    return DetailCaption;
}

} // namespace

BlockDetailModel::BlockDetailModel(Machine &m, int part, int block, BlockPanel &panel, const std::string &appDir)
    : m_machine(m)
    , m_part(part)
    , m_block(block)
    , m_kind(m.part(part).Blocks[static_cast<std::size_t>(block)].Kind)
    , m_panel(panel)
{
    m_blockName = this->block().Caption;
    for (std::size_t r = 0; r < 5; ++r)
        m_operands[r] = {panel.values[r].text, true};

    if (!isBranch()) {
        for (std::size_t r = 2; r < 5; ++r)
            m_operands[r].visible = false;
        m_rowTitles[0] = {panel.captions[0].text, true};
        m_rowTitles[1] = {panel.captions[1].text, true};
        m_pickButtons[2] = false;
        if (isOneOperandKind()) {
            m_rowTitles[1].visible = false;
            m_operands[1].visible = false;
            m_pickButtons[1] = false;
        }
    } else {
        m_operators.items = {m_operands[2].text, ">", ">=", "=", "<", "<="};
        m_operators.text = m_operands[2].text;
        m_operators.visible = true;
        m_pickButtons[1] = false;
        if (m_operands[0].text == NotSetText)
            m_operands[1].visible = false;
        if (m_operands[2].text == NotSetText)
            m_operands[4].visible = false;
        if (m_operands[3].text == "-1" && m_operands[4].text == "-1")
            m_operands[4].visible = false;
        if (m_operands[3].text == "-1")
            m_operands[3].text = NotSetText;
        applyLampOrStockRules(true);
        m_frame1 = "比較対象１";
        m_frame2 = "比較対象２";
    }
    m_explanation = explanationOf(m_kind, appDir);
}

BlockRecord &BlockDetailModel::block()
{
    return m_machine.part(m_part).Blocks[static_cast<std::size_t>(m_block)];
}

bool BlockDetailModel::isOneOperandKind() const
{
    return m_kind == 21 || m_kind == 22 || m_kind == 23 || m_kind == 25 || m_kind == 26 || m_kind == 27;
}

void BlockDetailModel::applyLampOrStockRules(bool presetLamp)
{
    const std::string &property = m_operands[1].text;
    if (property == SoldOutLampLabel || property == BuyLampLabel) {
        // The left side is a button's lamp: the right side is its state, chosen from a list.
        m_lamp.items = {LampStateOnText, LampStateOffText};
        m_lamp.visible = true;
        m_lamp.text.clear();
        if (presetLamp && m_operands[4].text == "1")
            m_lamp.text = LampStateOnText;
        else if (presetLamp && m_operands[4].text == "0")
            m_lamp.text = LampStateOffText;
        m_operands[4].visible = false;
        m_pickButtons[2] = false;
    } else if (property == StockLabel) {
        // A stock is compared with a number, typed in through the third "指定".
        if (presetLamp)
            m_operands[3].text = m_operands[4].text;
        m_operands[4].visible = false;
    }
}

void BlockDetailModel::reactivate()
{
    if (m_machine.app.DetailReopen == -1) {
        if (isBranch()) {
            m_operands[1].visible = true;
            m_operands[4].visible = true;
            // The lamp list is offered again but not preset: what the pupil chose before the
            // pick stays to be chosen, the block is written only by "ＯＫ".
            applyLampOrStockRules(false);
        }
        m_machine.app.DetailReopen = 0;
    }
    if (isOneOperandKind()) {
        m_rowTitles[1].visible = false;
        m_operands[1].visible = false;
        m_operands[4].visible = false;
        m_pickButtons[1] = false;
    }
}

bool BlockDetailModel::needsStockNumber(int button) const
{
    return button == 2 && isBranch() && m_operands[1].text == StockLabel;
}

std::optional<StagePickRequest> BlockDetailModel::requestPick(int button)
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || button < 0 || button > 2 || !m_pickButtons[static_cast<std::size_t>(button)])
        return std::nullopt;
    if (needsStockNumber(button))
        return std::nullopt;
    StagePickRequest request;
    if (button == 0) {
        if (m_kind == BlockMove) {
            request.runMode = ModePickMoveTarget;
            request.message = "パーツを移動先にドラッグしてください";
        } else if (m_kind >= FirstVendingBlock && m_kind <= LastVendingBlock) {
            request.runMode = ModePickOperand1;
            if (app.Level == 1)
                request.message = "パーツを選択してください";
        } else {
            return std::nullopt; // nothing on the stage can be picked for this kind
        }
    } else {
        request.runMode = button == 1 ? ModePickOperand2 : ModePickOperand4;
        if (app.Level == 1)
            request.message = "パーツを選んでください";
    }
    app.DetailReopen = -1;
    return request;
}

std::string BlockDetailModel::enterStockNumber(const std::string &answer)
{
    if (answer.empty())
        return {};
    const std::optional<double> number = parseNumberText(answer);
    if (!number)
        return NumbersOnlyMessage;
    if (*number < 0 || *number > 1000)
        return StockPrompt;
    std::ostringstream written; // the number as the pupil reads it: "12", "2.5"
    written << *number;
    const std::string text = written.str();
    m_operands[3].text = text;
    block().Param[5] = ParamValue(text);
    return {};
}

void BlockDetailModel::chooseOperator(const std::string &text)
{
    m_operators.text = text;
    m_panel.values[2].text = text;
}

void BlockDetailModel::chooseLamp(const std::string &text)
{
    m_lamp.text = text;
}

void BlockDetailModel::confirm()
{
    BlockRecord &b = block();
    if (isBranch()) {
        m_operands[2].text = m_operators.text;
        m_panel.values[2].text = m_operators.text;
        // An operator still unset stays unset in the block rather than becoming the text "未設定".
        if (isSet(m_operators.text))
            b.Param[3] = ParamValue(m_operators.text);
        if (m_lamp.visible && (m_lamp.text == LampStateOnText || m_lamp.text == LampStateOffText)) {
            b.Param[4] = ParamValue(std::int16_t{-1});
            b.Param[5] = ParamValue(m_lamp.text == LampStateOnText ? 1 : 0);
        }
    }
    for (const ShownText &operand : m_operands) {
        if (isSet(operand.text))
            b.Complete = -1;
    }
    m_machine.app.DetailReopen = 0;
}

} // namespace jhk
