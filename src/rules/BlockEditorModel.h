#pragma once

#include "rules/BlockPalette.h"
#include "rules/BlockPanel.h"
#include "rules/CanvasGeometry.h"
#include "rules/FlowchartScene.h"
#include "model/Catalogue.h"
#include "model/Records.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace jhk {

struct Machine;

inline constexpr const char *EditorCaption = "ジハンコウボウ";
inline constexpr const char *EditingBlocksCaption = "ジハンコウボウ　ブロック編集中";
inline constexpr const char *TooManyBlocksMessage = "ブロックが多すぎます";
inline constexpr const char *UnusableBlockMessage = "このブロックは、このパーツではつかえません";
inline constexpr const char *PickFirstBlockMessage = "一番始めに動作するブロックを選択して下さい";
inline constexpr const char *NoBlocksMessage = "一個もブロックがありません";
inline constexpr const char *SelfLinkMessage = "次に実行するブロックを自分自身にすることはできません";
inline constexpr const char *TooLargeVariableMessage = "10000以下に設定して下さい";
inline constexpr const char *TooSmallVariableMessage = "-32768以上に設定して下さい";
inline constexpr const char *BackToEditingMessage = "編集モードに変更します";

// One variable row of the part information frame: a caption with a text field, or in its
// place a drop-down list.
struct VariableRow {
    std::string caption;
    std::string text;
    bool textVisible = true;
    bool textEditable = true;  // false for a variable the kind does not use: shown, never typed in
    bool listVisible = false;  // the list stands in front of the text field
    bool listEnabled = true;
    std::vector<std::string> listItems;
    std::string listText;
};

// The part information frame "パーツ情報".
struct PartInfoFrame {
    std::string blockCount; // "ブロックの数 ：" + BlockCount
    std::string kindName;   // "パーツの種類 ：" + catalogue name
    std::string partNumber; // "パーツ番号：" + part slot
    std::string x;
    std::string y;
    std::array<VariableRow, 3> rows;
    bool dragMode = false;  // "実行中ドラッグに対応する"
};

// Where the selection outline is.
enum class OutlineOn { Nothing, Block, StartBox };

enum class BoxButton { Left, Right };

// The rules of the block editor window for one part: what each click and drop does to the
// part's record, the selection, the picking of links, the panel texts, the part information,
// and the snapshot that "キャンセル" writes back. The window only forwards events and draws.
class BlockEditorModel {
public:
    using MessageFn = std::function<void(const std::string &)>;

    // Opens the editor on part `part` (CurParts) with the catalogue the program has read.
    BlockEditorModel(Machine &m, int part, const Catalogue &catalogue, MessageFn message);

    // --- what the window shows
    Machine &machine() { return m_machine; }
    const Machine &machine() const { return m_machine; }
    int partSlot() const { return m_part; }
    PartsRecord &record();
    const PartsRecord &record() const;
    const CanvasGeometry &geometry() const { return m_geometry; }
    const Catalogue &catalogue() const { return m_catalogue; }
    FlowchartScene scene() const;
    const std::string &windowCaption() const { return m_caption; }
    const std::array<std::vector<std::string>, PaletteTabCount> &paletteLists() const { return m_palette; }
    bool listsEnabled() const { return m_listsEnabled; }   // all lists off at level 1
    bool paletteEnabled() const { return m_paletteEnabled; } // off while a next block is picked
    bool deleteEnabled() const { return m_deleteEnabled; }
    OutlineOn outlineOn() const { return m_outline; }
    TwipsRect outlineRect() const; // one pixel left of and above the box, one pixel larger
    bool targetMarkerVisible() const { return m_markerVisible; }
    TwipsRect targetMarker() const;
    const BlockPanel &panel() const { return m_panel; }
    BlockPanel &panel() { return m_panel; }
    const PartInfoFrame &partInfo() const { return m_info; }
    int currentBlock() const;
    int runMode() const;

    // --- the palette and the canvas (canvas coordinates in twips)
    void dropBlock(int tab, int position, int x, int y);
    // True when (x, y) lies on a block box, the start box or the end box.
    bool hitsBox(int x, int y) const;
    // The box under (x, y), topmost first: a block slot, or -1.
    int blockAt(int x, int y) const;
    // Mouse on block box i; (x, y) inside the box. Returns true when the pop-up menu
    // "指定１ | 指定２ | 削除" is to be shown.
    bool boxMouseDown(int i, BoxButton button, int x, int y);
    void boxMouseMove(int i, int x, int y);
    void boxMouseUp(int i, BoxButton button);
    // Returns true when the block detail dialog is to be opened for block i.
    bool boxDoubleClick(int i);
    void startBoxMouseDown();
    void startBoxDoubleClick();
    void endBoxClick();

    // --- buttons
    void firstBlockButton();      // "指定" of the start box
    void nextBlockButton(int j);  // "指定" for NextBlock (0) or NextBlock2 (1)
    bool nextBlockButtonAvailable(int j) const;
    void deleteSelected();        // "ブロックの削除" and the pop-up's "削除"
    void setVariableText(int row, const std::string &text);
    void setDragMode(bool on);

    // "決定": returns true when the window may close.
    bool confirm();
    // "キャンセル": returns true when the window is to close.
    bool cancel();
    // The window is closing, by any way: back to editing mode, BlockEditorOpen 0.
    void closing();
    // The window has become active again (after the detail dialog or a pick on the stage).
    // Returns true when the block detail dialog asked to be shown again.
    bool activate(bool visible);

    // A pick on the stage is about to start for operand rows of the selected block: remember
    // which, so that finishing it renders those rows from the block again.
    void beginStagePick(int runMode);
    void finishStagePick();

    const PartsRecord &snapshot() const { return m_snapshot; }

    // The part's record went back or forward in the editor's history: the selection, the
    // panel and the block count follow it. The snapshot "キャンセル" writes back stays the one
    // taken at opening, and the variables typed in the part information stay as typed.
    void historyRestored();

private:
    void load();
    void fillPartInfo();
    void showBlockPanel();
    void selectBox(int i);
    void placeTargetMarker(int i, int x, int y);
    void completePick(int i);
    void endPicking();
    void showBlockCount(bool withSpace);
    bool blockUsed(int i) const;
    void message(const std::string &text) const;

    Machine &m_machine;
    int m_part;
    const Catalogue &m_catalogue;
    MessageFn m_message;
    CanvasGeometry m_geometry;
    PartsRecord m_snapshot;
    std::array<std::vector<std::string>, PaletteTabCount> m_palette;
    std::string m_caption = EditorCaption;
    bool m_level1Empty = false;
    bool m_listsEnabled = true;
    bool m_paletteEnabled = true;
    bool m_deleteEnabled = true;
    OutlineOn m_outline = OutlineOn::Nothing;
    int m_outlineBlock = -1;
    bool m_markerVisible = false;
    int m_markerLeft = 0;
    int m_markerTop = 0;
    int m_pressedBox = -1; // the box a left press in editing mode went down on
    int m_stagePickMode = 0;
    BlockPanel m_panel;
    PartInfoFrame m_info;
};

} // namespace jhk
