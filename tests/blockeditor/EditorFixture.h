#pragma once

#include "rules/BlockEditorModel.h"
#include "model/AppState.h"
#include "model/Creation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace jhk::test {

// A machine at 15 twips per pixel with parts placed by kind, and an editor opened on one of them.
struct EditorFixture {
    Machine m;
    std::vector<std::string> messages;
    std::unique_ptr<Catalogue> editorCatalogue; // outlives the editor
    std::unique_ptr<BlockEditorModel> editor;
    int current = -1; // the part being edited

    explicit EditorFixture(int level = 3)
    {
        applyStartupValues(m.app, 15, 15);
        m.app.Level = static_cast<std::uint8_t>(level);
        m.app.Step = 1;
    }

    int place(int kind)
    {
        return createPart(m, kind).slot;
    }

    BlockEditorModel &open(int part, const std::string &appDir = JHK_APP_DIR)
    {
        m.app.BlockEditorOpen = -1;
        current = part;
        auto read = std::make_unique<Catalogue>(appDir);
        editor = std::make_unique<BlockEditorModel>(m, part, *read,
                                                    [this](const std::string &t) { messages.push_back(t); });
        editorCatalogue = std::move(read);
        return *editor;
    }

    PartsRecord &rec() { return m.part(current); }
    BlockRecord &block(int i) { return rec().Blocks[static_cast<std::size_t>(i)]; }

    // Drops entry `position` of the vending tab into cell (column, row).
    void drop(int position, int column, int row)
    {
        const CanvasGeometry &g = editor->geometry();
        editor->dropBlock(1, position, column * g.columnWidth() + 100, row * g.rowHeight() + 450);
    }

    // A left click on block box i, at the box's top-left corner plus (dx, dy) twips.
    void click(int i, int dx = 10, int dy = 10)
    {
        editor->boxMouseDown(i, BoxButton::Left, dx, dy);
        editor->boxMouseUp(i, BoxButton::Left);
    }

    // Presses on block box i, drags the mouse to cell (column, row) and lets go.
    void dragTo(int i, int column, int row)
    {
        const CanvasGeometry &g = editor->geometry();
        editor->boxMouseDown(i, BoxButton::Left, 10, 10);
        const BlockRecord &b = block(i);
        editor->boxMouseMove(i, column * g.columnWidth() + 200 - b.X, row * g.rowHeight() + 200 - b.Y);
        editor->boxMouseUp(i, BoxButton::Left);
    }
};

} // namespace jhk::test
