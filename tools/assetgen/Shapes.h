#pragma once

#include <QPainter>

// The drawings shared by the part pictures, the palette buttons, the machine fronts and the
// splash. Each draws into its own box at the origin (the size in its comment); callers move
// and scale the painter to place it.
namespace assetgen {

enum class Drink { Cola, GreenTea, Orange, Coffee, Plain, Soda, Sports, Water };

void drawDrink(QPainter &p, Drink drink);                  // 34 × 67

enum class SlotStyle { Plate, RoundBezel, Plain, Panel };
void drawCoinSlot(QPainter &p, SlotStyle style);           // 30 × 30

enum class LampState { Off, Buy, SoldOut };
void drawSelectButton(QPainter &p, LampState lamp);        // 43 × 19

void drawAmountDisplay(QPainter &p);                       // 121 × 44

// One seven-segment digit cell; digit -1 shows only the unlit segments.
void drawLedDigit(QPainter &p, int digit);                 // 17 × 26

enum class OutletStyle { Labelled, RoundCup, Plain, Wide };
void drawChangeOutlet(QPainter &p, OutletStyle style);     // 45 × 39
void drawProductOutlet(QPainter &p, OutletStyle style);    // 188 × 70

void drawLever(QPainter &p, bool pulled);                  // 40 × 40

void drawPurse(QPainter &p);                               // 112 × 129

// Coin or note of denomination index d (0 = 1000-yen note … 4 = 10 yen).
void drawMoney(QPainter &p, int d);                        // 30 × 30

} // namespace assetgen
