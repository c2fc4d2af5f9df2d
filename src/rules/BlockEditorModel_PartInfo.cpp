// The part information frame of the block editor and the ways the editor closes.
#include "rules/BlockEditorModel.h"
#include "rules/NumberText.h"

#include "model/AppState.h"
#include "model/Fields.h"
#include "model/Int16.h"

#include <cmath>
#include <sstream>

namespace jhk {

namespace {

// A twips position shown in pixels: whole numbers as they are, fractions with up to four places.
std::string pixelsText(int twips, int twipsPerPixel)
{
    if (twipsPerPixel <= 0)
        return std::to_string(twips);
    if (twips % twipsPerPixel == 0)
        return std::to_string(twips / twipsPerPixel);
    std::ostringstream out;
    out.precision(4);
    out << std::fixed << static_cast<double>(twips) / twipsPerPixel;
    std::string s = out.str();
    s.erase(s.find_last_not_of('0') + 1);
    return s;
}

} // namespace

void BlockEditorModel::fillPartInfo()
{
    const PartsRecord &p = record();
    const AppState &app = m_machine.app;
    m_info.partNumber = "パーツ番号：" + std::to_string(m_part);

    // The catalogue record of the kind: name and the captions of A, B and C; a record followed
    // by "cmb" offers variable A as a list of the fields after it, up to the next number.
    const std::vector<std::string> &fields = m_catalogue.fields();
    auto at = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    const std::string kindText = std::to_string(p.Kind);
    std::string name;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] != kindText)
            continue;
        name = at(i + 1);
        for (std::size_t r = 0; r < 3; ++r) {
            m_info.rows[r].caption = at(i + 2 + r);
            m_info.rows[r].textEditable = !Catalogue::variableUnused(m_info.rows[r].caption);
        }
        if (at(i + 5) == "cmb") {
            VariableRow &row = m_info.rows[0];
            row.textVisible = false;
            row.listVisible = true;
            row.listItems.clear();
            for (std::size_t k = i + 9; k < fields.size() && !parseNumberText(fields[k]); ++k)
                row.listItems.push_back(fields[k]);
        }
        break;
    }
    m_info.kindName = "パーツの種類 ：" + name;
    m_info.x = "X座標 ： " + pixelsText(p.Left, app.TwipsX);
    m_info.y = "Ｙ座標 ：" + pixelsText(p.Top, app.TwipsY);
    for (std::size_t r = 0; r < 3; ++r)
        m_info.rows[r].text = std::to_string(p.Hensuu[r + 1]);
    m_markerVisible = false;
    showBlockCount(true);
    for (VariableRow &row : m_info.rows) {
        if (row.caption.empty()) {
            row.textVisible = false;
            row.listVisible = false;
        }
    }
    if (p.Kind == KindButton) {
        // A button's lamps are shown as off whatever they hold: the editor never edits them.
        for (std::size_t r = 0; r < 2; ++r) {
            if (m_info.rows[r].caption.empty())
                continue;
            m_info.rows[r].listItems = {"消灯"};
            m_info.rows[r].listText = "消灯";
            m_info.rows[r].listVisible = true;
            m_info.rows[r].listEnabled = false;
        }
    }
    m_info.dragMode = p.RunDrag == -1;
}

void BlockEditorModel::setVariableText(int row, const std::string &text)
{
    if (row >= 0 && row < 3 && m_info.rows[static_cast<std::size_t>(row)].textEditable)
        m_info.rows[static_cast<std::size_t>(row)].text = text;
}

void BlockEditorModel::setDragMode(bool on)
{
    m_info.dragMode = on;
}

bool BlockEditorModel::confirm()
{
    PartsRecord &p = record();
    m_machine.app.RunMode = ModeEditing;
    p.RunDrag = m_info.dragMode ? -1 : 0;
    for (std::size_t r = 0; r < 3; ++r) {
        VariableRow &row = m_info.rows[r];
        if (!row.textVisible)
            continue;
        const std::optional<double> number = parseNumberText(row.text);
        if (!number)
            continue;
        const char *refusal = nullptr;
        if (*number > 10000)
            refusal = TooLargeVariableMessage;
        else if (*number < -32768)
            refusal = TooSmallVariableMessage;
        if (refusal) {
            message(refusal);
            row.text = std::to_string(p.Hensuu[r + 1]);
            return false;
        }
        p.Hensuu[r + 1] = clamp16(roundHalfEven(*number));
    }
    return true;
}

bool BlockEditorModel::cancel()
{
    AppState &app = m_machine.app;
    switch (app.RunMode) {
    case ModeEditing:
        break;
    case ModePickNextBlock:
        message("次に実行するブロック１を選択中だったのですが．．");
        break;
    case ModePickNextBlock2:
        message("次に実行するブロック２を選択中だったのですが．．");
        break;
    default:
        return false;
    }
    // "キャンセル" always discards the editing, also when it interrupts the picking of a link.
    app.RunMode = ModeEditing;
    record() = m_snapshot;
    return true;
}

void BlockEditorModel::closing()
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing) {
        message(BackToEditingMessage);
        app.RunMode = ModeEditing;
    }
    app.BlockEditorOpen = 0;
    app.DetailReopen = 0; // a pick the editor never came back from must not reopen a dialog later
    m_stagePickMode = 0;
}

} // namespace jhk
