#pragma once

#include "model/Kinds.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace jhk {

struct Machine;
class PictureSizes;

// Size of the stage picture, pixels.
inline constexpr int StageWidthPixels = 408;
inline constexpr int StageHeightPixels = 500;

// Picture files the engine puts on parts while the machine runs.
inline constexpr const char *ButtonOffPicture = "\\bg\\button_1.bmp";
inline constexpr const char *ButtonBuyPicture = "\\bg\\button_2.bmp";
inline constexpr const char *ButtonSoldOutPicture = "\\bg\\button_3.bmp";
inline constexpr const char *LeverRestPicture = "\\bg\\rebaa_1.bmp";
inline constexpr const char *LeverPulledPicture = "\\bg\\rebaa_2.bmp";
inline constexpr const char *BuiltInPicture = "dummy";

// The size of the box an amount display draws each digit into, twips.
inline constexpr int DigitBoxWidth = 255;
inline constexpr int DigitBoxHeight = 396;
inline constexpr int AmountDigits = 4;

// Colours of the stage, 0x00BBGGRR.
inline constexpr std::int32_t PartNumberColor = 0xC0FFC0; // "No.N" in a part's corner
inline constexpr std::int32_t ChartEndActiveColor = 0xC0C0FF;
// The blinking colours of the state label, one per timer tick.
inline constexpr std::array<std::int32_t, 6> BlinkColors = {
    0x000000, 0x008080, 0x00C0C0, 0x00FFFF, 0x00C0C0, 0x008080,
};

// Texts of the state labels.
inline constexpr const char *StateEditing = "編集中";
inline constexpr const char *StateRunning = "実行中";
inline constexpr const char *StateOneBlock = "１ブロックづつ";
inline constexpr const char *BlockStateWaiting = "待機中";
inline constexpr const char *BlockStateRunning = "実行中";
inline constexpr const char *BlockStateFinished = "実行終了";
inline constexpr const char *BlockStateDesign = "ブロック実行状態";
inline constexpr const char *MoneyLabelPrefix = "所持金：￥";

// A rectangle on the stage, twips from its top-left corner.
struct StageRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const StageRect &) const = default;
};

// The control that shows part slot i (picParts(i)).
struct PartControl {
    bool visible = false;
    StageRect rect;
    // The picture shown: the record's picture name, "dummy" for the built-in picture of the
    // kind, or a lamp or lever file that a run put there.
    std::string picture;
    // The digits an amount display has drawn, e.g. "300" or "-25"; "" when nothing is drawn.
    std::string digits;
    // "No." followed by the slot number is printed in the top-left corner.
    bool numberShown = false;
};

// The control that shows label slot j (lblParts(j)). The window measures the text and may
// update width and height.
struct LabelControl {
    bool visible = false;
    StageRect rect;
    std::string caption;
    int fontSize = 12;
    std::int32_t backColor = 0; // 0x00BBGGRR, or the system menu colour
    std::int32_t foreColor = 0;
    bool transparent = false;
    bool bold = false;
    bool italic = false;
};

// A discharged product (imgSyouhinn(n), n = 1..999).
struct ProductImage {
    int n = 0;
    std::string picture; // the picture of the product part it copies ("dummy" when built in)
    int sourceKind = KindProduct;
    int sourcePart = -1; // the slot of the product it copies
    int onPart = -1;     // the slot of the part it was placed on (an outlet, or whatever the block named)
    StageRect rect;
    bool visible = false;
};

// The wallet on the stage during a run: two coin pictures per denomination (imgMoney(d) and
// imgMoney(d + 5)) and a count label (lblMoney(d)).
struct CoinPicture {
    bool visible = false;
    StageRect rect;
};
struct CoinLabel {
    bool visible = false;
    StageRect rect;
    std::string text = "0枚";
};

// The selection frame (Choise).
struct SelectionFrame {
    bool visible = false;
    StageRect rect;
};

// Enabled and shown states of the window's controls that the run and the stage rebuild
// decide. The window copies them onto its buttons and menus.
struct StageControls {
    bool startEnabled = true;      // "実行"
    bool stopEnabled = false;      // "停止"
    bool stepEnabled = false;      // "１ブロックづつ実行"
    bool openEnabled = true;       // "ファイルを開く"
    bool saveEnabled = true;       // "ファイルの保存"
    bool moneyEnabled = true;      // the "所持金" palette button
    bool partButtonsEnabled = true;
    bool labelButtonEnabled = true;
    bool deleteEnabled = false;    // "パーツの削除"
    bool runPointer = false;       // the stage's custom mouse pointer
    bool chartVisible = false;     // the run list frame of the one-block mode
    bool stepControlsVisible = false; // the level-1 step menu and labels
};

// Everything the stage shows, without any window: the Qt stage draws from it and forwards
// mouse events to the engine; the simulator and the tests read it.
class Stage {
public:
    Stage();

    std::array<PartControl, PartSlots> parts;
    std::array<LabelControl, LabelSlots> labels;
    std::vector<ProductImage> products; // in the order they were discharged
    std::array<CoinPicture, 10> coins;
    std::array<CoinLabel, 5> coinLabels;
    SelectionFrame selection;
    StageControls controls;

    std::string background;       // the stage's background picture path
    bool walletDrawn = false;     // the wallet picture is painted on the background
    std::string moneyLabel = std::string(MoneyLabelPrefix) + "2670";
    std::string stateLabel = StateEditing;
    std::string blockStateLabel = BlockStateDesign;
    std::int32_t stateLabelColor = BlinkColors[0];
    int blinkCounter = 0;
    std::int32_t chartEndColor = 0; // 0 = the label's design colour
    // Where and why the last program stopped at a block whose part or operand is not set, in
    // a pupil's words; "" when it did not. Kept until the next program or run starts.
    std::string runHint;

    // The run list (lstDebug) and its selected line (-1 none).
    std::vector<std::string> runList;
    int runListSelection = -1;

    PartControl &part(int i) { return parts[static_cast<std::size_t>(i)]; }
    const PartControl &part(int i) const { return parts[static_cast<std::size_t>(i)]; }

    // Width and height of the stage picture, twips.
    static int widthTwips(const Machine &m);
    static int heightTwips(const Machine &m);
    // The outside-the-stage test of a dropped control: left or top beyond the stage, the right
    // edge beyond its width, or more than half the control below its bottom.
    static bool isOutside(const Machine &m, const StageRect &r);

    // Shows `picture` on part slot i; the control takes the size of the picture.
    void setPartPicture(const Machine &m, const PictureSizes &sizes, int i, const std::string &picture);
    // Places the selection frame 4 pixels outside part i (SelectionPart) or label i.
    void showSelection(const Machine &m, int selKind, int i);
    // Places the selection frame 4 twips outside a rectangle (while dragging).
    void frameTightly(const StageRect &r);

    // The position of the k-th digit from the right (k = 1..4) inside an amount display whose
    // digit strip has digits `digitWidth` twips wide.
    static StageRect digitBox(const Machine &m, int k, int digitWidth);
};

} // namespace jhk
