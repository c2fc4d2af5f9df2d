#pragma once

#include "model/AppState.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace jhk {

// The document header: the product name, then the version, cut to 16 characters.
inline constexpr std::string_view DocumentHeader = "JIHANKOBO Ver 1.";
inline constexpr std::size_t DocumentHeaderSize = 16;
// Only the product name is checked when reading; the version may be anything.
inline constexpr std::string_view DocumentMagic = "JIHANKOBO";

// Tags of a text item.
enum TextItemTag : std::int16_t {
    TagEmpty = 0,
    TagInteger = 2,
    TagText = 8,
};

// The longest text a text item can hold: its byte count is a 16-bit number.
inline constexpr std::size_t MaxTextItemBytes = 32767;

// The order of the fields in a document, written once for the writer and the reader.
// `Archive` transfers one field at a time (u8, i16, i32, text, param; runMode for the one
// field a document always stores as editing); `M` is a Machine, const for writing.
template <class Archive, class M>
void visitDocumentLayout(Archive &ar, M &m)
{
    auto &app = m.app;
    ar.header();
    ar.u8(app.Level);
    ar.runMode(app.RunMode);
    ar.i16(app.CurParts);
    ar.i16(app.PartsCount);
    ar.i16(app.LabelCount);
    ar.text(app.BackPictName);

    for (auto &p : m.parts) {
        ar.text(p.PictName);
        ar.i16(p.BlockCount);
        ar.i16(p.BranchCount);
        ar.i16(p.Spare2);
        ar.i16(p.Height);
        ar.i16(p.ImageNo);
        ar.i16(p.Width);
        ar.i16(p.Left);
        ar.i16(p.Top);
        ar.i16(p.Spare1);
        ar.i16(p.LampLink);
        ar.i16(p.Kind);
        ar.i16(p.FirstBlock);
        ar.i16(p.RunDrag);
        ar.i16(p.Used);
        ar.i16(p.Spare3);
        for (auto &h : p.Hensuu)
            ar.i16(h);
        for (auto &b : p.Blocks) {
            ar.i16(b.Spare4);
            ar.i16(b.BlockNo);
            ar.i16(b.Kind);
            ar.i16(b.Spare5);
            ar.i16(b.Spare6);
            ar.i16(b.NextBlock);
            ar.i16(b.NextBlock2);
            ar.i16(b.X);
            ar.i16(b.Y);
            ar.text(b.Caption);
            for (auto &f : b.PickFlags)
                ar.u8(f);
            ar.i16(b.Used);
            ar.i16(b.Complete);
            for (auto &v : b.Param)
                ar.param(v);
        }
    }

    for (auto &l : m.labels) {
        ar.text(l.Caption);
        ar.i16(l.FontSize);
        ar.i16(l.Height);
        ar.i16(l.Width);
        ar.i16(l.Left);
        ar.i16(l.Top);
        ar.u8(l.LabelNo);
        ar.i32(l.BackColor);
        ar.i32(l.ForeColor);
        ar.i16(l.Transparent);
        ar.i16(l.FontBold);
        ar.i16(l.FontItalic);
        ar.i16(l.Used);
    }

    ar.i16(app.MoneyInHand);
    ar.i16(app.MoneySetting);
    for (std::size_t d = 0; d < app.Wallet.size(); ++d) {
        ar.i16(app.Wallet[d]);
        ar.i16(app.WalletSaved[d]);
    }
}

} // namespace jhk
