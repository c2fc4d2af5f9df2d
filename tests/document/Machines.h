#pragma once

#include "document/JhkDocument.h"
#include "model/AppState.h"

#include <memory>
#include <string>
#include <vector>

namespace jhk::testing {

// The tables as the program holds them right after start-up, at level 3.
inline std::unique_ptr<Machine> startupMachine()
{
    auto m = std::make_unique<Machine>();
    applyStartupValues(m->app, 15, 15);
    m->app.Level = 3;
    m->app.BackPictName = StartBackPictName;
    return m;
}

// Thirty parts with programs and ten labels with Japanese captions; parameters of all three
// kinds, links of every sort, and values at the edges of their fields.
inline std::unique_ptr<Machine> fullMachine()
{
    auto m = startupMachine();
    m->app.Level = 2;
    m->app.CurParts = 7;
    m->app.PartsCount = 30;
    m->app.LabelCount = 10;
    m->app.BackPictName = "\\BG\\BG3.BMP";
    m->app.MoneyInHand = 2670;
    m->app.MoneySetting = -32768;
    m->app.Wallet = {2, 1, 1, 2, 5};
    m->app.WalletSaved = {32767, 0, 3, 4, 9};
    for (int i = 0; i < 30; ++i) {
        PartsRecord &p = m->part(i);
        p.Used = -1;
        p.Kind = static_cast<std::int16_t>(i % 8 == 5 ? 0 : i % 8);
        p.PictName = i % 2 ? "dummy" : "\\bg\\kan_" + std::to_string(i % 5) + ".bmp";
        p.Left = static_cast<std::int16_t>(100 * i);
        p.Top = static_cast<std::int16_t>(-15 * i);
        p.Width = 34;
        p.Height = 67;
        p.ImageNo = 1;
        p.LampLink = static_cast<std::int16_t>(i);
        p.RunDrag = i % 3 ? 0 : -1;
        p.Spare1 = 1;
        p.Spare2 = 2;
        p.Spare3 = -1;
        p.Hensuu = {0, static_cast<std::int16_t>(120 + i), 9999, -5};
        p.FirstBlock = 0;
        p.BlockCount = 12;
        p.BranchCount = 3;
        for (int k = 0; k < 12; ++k) {
            BlockRecord &b = p.Blocks[static_cast<std::size_t>(k)];
            const int kind = 20 + k % 9;
            b.Used = -1;
            b.Kind = static_cast<std::int16_t>(kind);
            b.Caption = std::to_string(k) + std::string(vendingBlockName(kind));
            b.NextBlock = static_cast<std::int16_t>(k == 11 ? LinkEnd : k + 1);
            b.NextBlock2 = kind == BlockBranch ? LinkEnd : LinkNone;
            b.X = static_cast<std::int16_t>(1200 * (k % 3));
            b.Y = static_cast<std::int16_t>(1102 * k);
            b.PickFlags = {0, 4, static_cast<std::uint8_t>(k % 2 ? 4 : 255)};
            b.Spare4 = 0;
            b.Spare5 = -1;
            b.Spare6 = -1;
            b.Complete = k % 2 ? -1 : 0;
            b.Param = {ParamValue(),       ParamValue(i),   ParamValue("A"),
                       ParamValue(">="),   ParamValue(-1),  ParamValue("ｺｰﾗ～１２０円")};
        }
    }
    for (int j = 1; j <= 10; ++j) {
        LabelRecord &l = m->label(j);
        l.Used = -1;
        l.LabelNo = static_cast<std::uint8_t>(j);
        l.Caption = "ラベル" + std::to_string(j) + "　おいしい水 ￥120 ∥ ①髙";
        l.Left = static_cast<std::int16_t>(300 * j);
        l.Top = 450;
        l.Width = 1200;
        l.Height = 360;
        l.BackColor = j % 9;
        l.ForeColor = 8 - j % 9;
        l.FontSize = static_cast<std::int16_t>(9 + j);
        l.Transparent = j % 2;
        l.FontBold = j % 3 ? 0 : -1;
        l.FontItalic = j % 4 ? 0 : -1;
    }
    return m;
}

inline std::vector<std::uint8_t> encoded(const Machine &m)
{
    EncodeResult r = encodeDocument(m);
    return r.bytes;
}

// Everything a document holds, plus the run mode, is the same in both machines.
inline bool sameDocumentContent(const Machine &a, const Machine &b)
{
    return a.parts == b.parts && a.labels == b.labels && a.app.RunMode == b.app.RunMode &&
           encoded(a) == encoded(b);
}

} // namespace jhk::testing
