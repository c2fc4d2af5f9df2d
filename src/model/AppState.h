#pragma once

#include "model/Records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jhk {

// RunMode values.
enum RunModeValue : std::int16_t {
    ModeEditing = 0,
    ModeRunning = 1,
    ModeOneBlock = 2,
    ModePickOperand1 = 3,
    ModePickOperand2 = 4,
    ModePickOperand4 = 5,
    ModePickNextBlock = 6,
    ModePickNextBlock2 = 7,
    ModePickBranchBlock = 8,
    ModePickMoveTarget = 9,
};

// SelKind values.
inline constexpr std::int16_t SelectionPart = 4;
inline constexpr std::int16_t SelectionLabel = 2;
inline constexpr std::int16_t SelectionNone = -1;

// The name of the vending block that ran last ("" before any ran). It keeps the block's kind,
// so that running a block builds no text, and reads as the name from the table of names.
class LastBlock {
public:
    void set(std::int16_t kind) { m_kind = kind; }
    std::int16_t kind() const { return m_kind; }
    std::string_view name() const { return vendingBlockName(m_kind); }
    operator std::string_view() const { return name(); }
    operator std::string() const { return std::string(name()); }

    bool operator==(const LastBlock &) const = default;
    friend bool operator==(const LastBlock &a, std::string_view b) { return a.name() == b; }
    friend std::string operator+(const std::string &a, const LastBlock &b) { return a + std::string(b.name()); }
    friend std::string operator+(const char *a, const LastBlock &b) { return a + std::string(b.name()); }
    template <class Stream>
    friend Stream &operator<<(Stream &out, const LastBlock &b)
    {
        out << b.name();
        return out;
    }

private:
    std::int16_t m_kind = -1;
};

// The application-wide values.
struct AppState {
    std::int16_t TwipsX = 0;
    std::int16_t TwipsY = 0;
    std::int16_t DigitLeft = 0;
    std::int16_t DigitTop = 0;
    std::array<std::int32_t, ColorCount> ColorTable{};
    std::string BackPictName;
    std::uint8_t Level = 0;
    std::uint8_t Step = 0;
    std::int16_t RunMode = ModeEditing;
    std::int16_t CurParts = -1;
    std::int16_t SelKind = SelectionNone;
    std::int16_t DragIndex = -1;
    std::int16_t GrabX = 0;
    std::int16_t GrabY = 0;
    std::int16_t OrigLeft = 0;
    std::int16_t OrigTop = 0;
    std::int16_t DeleteNewParts = 0;
    std::int16_t DetailReopen = 0;
    std::int16_t CurBlock = 0;
    std::int16_t PartsCount = 0;
    std::int16_t LabelCount = 0;
    std::int16_t SavedPartsCount = 0;
    std::int16_t ExecCount = 0;
    std::int16_t DischargeCount = 0;
    LastBlock LastBlockName;
    std::int16_t StepGo = 0;
    std::int16_t BlockEditorOpen = 0;
    std::int16_t MoneyInHand = 0;
    std::int16_t MoneySetting = 0;
    std::array<std::int16_t, 5> Wallet{};
    std::array<std::int16_t, 5> WalletSaved{};
    std::int16_t CoinIndex = -1;
    std::int16_t DraggedCoin = -1; // index of the coin picture held by the mouse
    float DropX = 0;
    float DropY = 0;
};

// The label colours, 0x00BBGGRR; entry 7 is the system menu colour.
inline constexpr std::array<std::int32_t, ColorCount> StartColorTable = {
    0xFFFFFF, 0xFFFF00, 0xFF00FF, 0xFF0000, 0x00FFFF, 0x00FF00, 0x0000FF,
    static_cast<std::int32_t>(0x80000004u), 0x000000,
};
inline constexpr std::int32_t SystemMenuColor = static_cast<std::int32_t>(0x80000004u);

inline constexpr std::int16_t StartMoney = 9990;
inline constexpr std::int16_t MainWindowMoney = 2670; // the main window shows this when it opens
inline constexpr std::array<std::int16_t, 5> StartWallet = {2, 1, 1, 2, 5};
inline constexpr const char *StartBackPictName = "\\BG\\BG0.BMP";

// The whole machine the pupil builds, with the application-wide values: the one set of
// tables every window, the engine and the documents work on.
struct Machine {
    PartsTable parts;
    LabelTable labels;
    AppState app;

    Machine();
    PartsRecord &part(int i) { return parts[static_cast<std::size_t>(i)]; }
    const PartsRecord &part(int i) const { return parts[static_cast<std::size_t>(i)]; }
    LabelRecord &label(int j) { return labels[static_cast<std::size_t>(j)]; }
    const LabelRecord &label(int j) const { return labels[static_cast<std::size_t>(j)]; }
    // True when i is a slot 0..30 that holds a part.
    bool partExists(int i) const { return isPartSlot(i) && part(i).isUsed(); }
};

// Sets the start-up values, given the screen's twips per pixel.
void applyStartupValues(AppState &app, double twipsPerPixelX, double twipsPerPixelY);

// The start-up values of every table slot (the main window's slot reset).
void resetAllSlots(Machine &m);

// The screen check: the message to show when the screen is too small, or nothing.
inline constexpr const char *SmallScreenMessage =
    "ﾃﾞｽｸﾄｯﾌﾟ領域 800×600 以上でないと起動できません.変更してやり直して下さい";
std::optional<std::string> screenCheck(long long screenWidthTwips, long long screenHeightTwips,
                                       std::int16_t twipsX, std::int16_t twipsY);

} // namespace jhk
