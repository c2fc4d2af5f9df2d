// The page module's JavaScript API: a thin translation between the page's values (numbers,
// strings, Uint8Array, plain objects, callbacks) and PageMachine. No rule lives here.
#include "engine/Stage.h"
#include "rules/CaptionLines.h"
#include "rules/RunViewPlacement.h"
#include "rules/StageController.h"
#include "rules/StageTexts.h"
#include "rules/PaperPage.h"
#include "wasm/PageMachine.h"
#include "wasm/PagePrint.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using emscripten::val;

// The application folder inside the module's memory files.
constexpr const char *AppDir = "/app";

std::vector<std::uint8_t> bytesOf(const val &array)
{
    return emscripten::convertJSArrayToNumberVector<std::uint8_t>(array);
}

val uint8Array(const std::vector<std::uint8_t> &bytes)
{
    // A copy the page owns: the module's memory may move when it grows.
    return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

// Puts one data file of the application folder (jihan.ini, block.ini, bg/BG0.BMP, kan.wav, ...)
// into the module, by its path relative to the folder. A path that climbs out of the folder
// or is absolute is refused.
bool putAppFile(const std::string &relative, const val &bytes)
{
    const std::filesystem::path rel(relative);
    if (relative.empty() || rel.is_absolute())
        return false;
    for (const auto &part : rel)
        if (part == "..")
            return false;
    const std::filesystem::path path = std::filesystem::path(AppDir) / rel;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    // One write of the whole file: the memory file system takes it in one piece, where a
    // stream's small buffer would grow it a thousand times for a background picture.
    const std::vector<std::uint8_t> data = bytesOf(bytes);
    std::FILE *out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    std::setvbuf(out, nullptr, _IONBF, 0);
    const bool written = std::fwrite(data.data(), 1, data.size(), out) == data.size();
    return std::fclose(out) == 0 && written;
}

// The page's font, measured by the page: measure(text, pixels) gives the width in pixels.
class JsMeasure : public jhk::TextMeasure {
public:
    explicit JsMeasure(val measure) : m_measure(std::move(measure)) {}
    double width(std::string_view text, int pixels) const override
    {
        return m_measure(std::string(text), pixels).as<double>();
    }

private:
    val m_measure;
};

// The page's fonts for the page layouts, measured by the page: measure.advance(text, font),
// measure.metrics(font) → {ascent, height}, measure.ink(text, font) → {left, right}, with
// font = {family, pixels, bold}.
class JsPaperMeasure : public jhk::PaperMeasure {
public:
    explicit JsPaperMeasure(val measure) : m_measure(std::move(measure)) {}
    double advance(std::string_view text, const jhk::PaperFont &font) const override
    {
        return m_measure.call<double>("advance", std::string(text), fontOf(font));
    }
    Metrics metrics(const jhk::PaperFont &font) const override
    {
        const val m = m_measure.call<val>("metrics", fontOf(font));
        return {m["ascent"].as<double>(), m["height"].as<double>()};
    }
    Ink ink(std::string_view text, const jhk::PaperFont &font) const override
    {
        const val i = m_measure.call<val>("ink", std::string(text), fontOf(font));
        return {i["left"].as<double>(), i["right"].as<double>()};
    }

private:
    static val fontOf(const jhk::PaperFont &font)
    {
        val f = val::object();
        f.set("family", font.family);
        f.set("pixels", font.pixels);
        f.set("bold", font.bold);
        return f;
    }
    val m_measure;
};

// A caption fitted into a box by the caption rules, in the page's font: {pixels, lines}.
val fitCaption(const std::string &caption, double width, double height, int largestPixels, val measure)
{
    const jhk::CaptionLines fitted = jhk::fitCaptionLines(caption, width, height, largestPixels, JsMeasure(std::move(measure)));
    val lines = val::array();
    for (const std::string &line : fitted.lines)
        lines.call<void>("push", line);
    val o = val::object();
    o.set("pixels", fitted.pixels);
    o.set("lines", lines);
    return o;
}

// Where a part's number strip ("No.3", `numberWidth` × `numberHeight` pixels as the page's font
// draws it) goes on the stage beside the part's picture at x, y, w, h: {x, y, w, h}.
val partNumberRect(int x, int y, int w, int h, int numberWidth, int numberHeight)
{
    const jhk::PixelRect r = jhk::StageHitTest::partNumberRect({x, y, w, h}, numberWidth, numberHeight,
                                                               {0, 0, jhk::StageWidthPixels, jhk::StageHeightPixels});
    val o = val::object();
    o.set("x", r.left);
    o.set("y", r.top);
    o.set("w", r.width);
    o.set("h", r.height);
    return o;
}

// Where the run view opens on a screen `available` beside the main window `main` (both x, y,
// width, height in CSS pixels), its frame adding frameWidth × frameHeight to its size:
// {x, y, w, h, compact, mainX} (mainX: where the main window moves to make room, or null).
val placeRunView(int ax, int ay, int aw, int ah, int mx, int my, int mw, int mh, int frameWidth, int frameHeight)
{
    const jhk::RunViewPlacement placed = jhk::placeRunView({ax, ay, aw, ah}, {mx, my, mw, mh}, frameWidth, frameHeight);
    val o = val::object();
    o.set("x", placed.frame.x);
    o.set("y", placed.frame.y);
    o.set("w", placed.frame.width);
    o.set("h", placed.frame.height);
    o.set("compact", placed.compact);
    o.set("mainX", placed.mainX ? val(*placed.mainX) : val::null());
    return o;
}

// The page's callbacks; a callback the page leaves out is not called.
class JsHost : public jhk::PageHost {
public:
    void set(val host) { m_host = std::move(host); }

    void message(int id, const std::string &text, const std::string &buttons, const std::string &icon,
                 const std::string &initial) override
    {
        call("message", id, text, buttons, icon, initial);
    }
    void sound(const std::string &name, const std::string &mode) override { call("sound", name, mode); }
    void changed(const std::string &what, int index) override { call("changed", what, index); }
    void runList(const std::string &line) override { call("runList", line); }
    void timer(int ms) override { call("timer", ms); }
    void request(const std::string &what, int index) override { call("request", what, index); }
    std::optional<std::pair<int, int>> labelPixels(const jhk::LabelControl &label, const std::string &fontName) override
    {
        if (!has("measureLabel"))
            return std::nullopt;
        val l = val::object();
        l.set("caption", label.caption);
        l.set("fontSize", int(label.fontSize));
        l.set("bold", label.bold);
        l.set("italic", label.italic);
        l.set("fontName", fontName);
        const val size = m_host.call<val>("measureLabel", l);
        if (!size.isArray() || size["length"].as<int>() < 2)
            return std::nullopt;
        return std::pair<int, int>{size[0].as<int>(), size[1].as<int>()};
    }

private:
    bool has(const char *name) const
    {
        return !m_host.isUndefined() && !m_host.isNull() && m_host[name].typeOf().as<std::string>() == "function";
    }
    template <typename... Args>
    void call(const char *name, Args &&...args)
    {
        if (has(name))
            m_host.call<void>(name, std::forward<Args>(args)...);
    }

    val m_host = val::undefined();
};

// One machine of the page.
class Machine {
public:
    Machine(int level, int background) : m_machine(AppDir, level, background, m_host) {}

    void setHost(val host) { m_host.set(std::move(host)); }

    val open(const val &bytes, const std::string &fileName) { return result(m_machine.open(bytesOf(bytes), fileName)); }
    val saveBytes() { return uint8Array(m_machine.saveBytes()); }
    void markSaved(const std::string &fileName) { m_machine.markSaved(fileName); }
    // The page's file commands: the file dialogs answered, a write that failed, the levels.
    val fileChosen(const std::string &name, const val &bytes)
    {
        return uint8Array(m_machine.fileChosen(name, bytes.isUndefined() || bytes.isNull() ? std::vector<std::uint8_t>()
                                                                                           : bytesOf(bytes)));
    }
    void writeFailed() { m_machine.writeFailed(); }
    std::string levelOptions() const { return m_machine.levelOptions(); }
    void chooseLevel(int level) { m_machine.chooseLevel(level); }

    val recoveryBytes() const { return uint8Array(m_machine.recoveryBytes()); }
    val openRecovery(const val &bytes) { return result(m_machine.openRecovery(bytesOf(bytes))); }
    void offerRecovery(const val &bytes, double madeAt) { m_machine.offerRecovery(bytesOf(bytes), madeAt); }

    void pointer(const std::string &type, int x, int y, int button, int modifiers)
    {
        m_machine.pointer(type, x, y, button, modifiers);
    }
    void coinDrop(int d, int centreX, int centreY) { m_machine.coinDrop(d, centreX, centreY); }
    bool paletteDown(int kind) { return m_machine.paletteDown(kind); }
    void paletteDrop(int kind, int x, int y) { m_machine.paletteDrop(kind, x, y); }
    void changeProperties(int slot) { m_machine.changeProperties(slot); }
    std::string propertyDialog() const { return m_machine.propertyDialog(); }
    void propertyScroll(int value) { m_machine.propertyScroll(value); }
    val propertyOk(const val &texts)
    {
        std::array<std::string, 3> t;
        for (std::size_t i = 0; i < t.size(); ++i) {
            const val v = texts[static_cast<int>(i)];
            t[i] = v.isString() ? v.as<std::string>() : std::string();
        }
        const jhk::PageMachine::PropertyAnswer a = m_machine.propertyOk(t);
        val o = val::object();
        o.set("accepted", a.accepted);
        o.set("refusedBox", a.refusedBox);
        o.set("resetBox", a.resetBox);
        return o;
    }
    void propertyCancel() { m_machine.propertyCancel(); }
    std::string labelDialog() const { return m_machine.labelDialog(); }
    // The printout and the worksheet laid out for the page's print (see PagePrint.h).
    std::string printLayout(bool numbers, double pageWidth, val measure)
    {
        return jhk::printPageJson(m_machine, numbers, pageWidth, JsPaperMeasure(std::move(measure)));
    }
    std::string worksheetLayout(int part, bool blank, const std::string &title, val measure)
    {
        return jhk::worksheetJson(m_machine, part, blank, title, JsPaperMeasure(std::move(measure)));
    }
    void labelEdit(const val &o)
    {
        const auto text = [&](const char *k) { return o[k].isString() ? o[k].as<std::string>() : std::string(); };
        const auto flag = [&](const char *k) { return o[k].isTrue(); };
        m_machine.labelEdit(text("caption"), text("fontName"), text("fontSize"), flag("italic"), flag("bold"),
                            flag("transparent"));
    }
    void labelPress(int x, int y) { m_machine.labelPress(x, y); }
    void labelOk() { m_machine.labelOk(); }
    void labelCancel() { m_machine.labelCancel(); }
    void touch(int slot) { m_machine.touch(slot); }
    bool command(const std::string &name) { return m_machine.command(name); }
    void answer(int id, const std::string &answer) { m_machine.answer(id, answer); }
    void tick() { m_machine.tick(); }
    void blink() { m_machine.blink(); }
    void soundEnded() { m_machine.soundEnded(); }
    std::string scene() const { return m_machine.scene(); }
    std::string runView() { return m_machine.runView(); }
    void showRunView(bool open) { m_machine.showRunView(open); }
    void setRunSpeed(int index) { m_machine.setRunSpeed(index); }
    bool isModified() const { return m_machine.isModified(); }

    // The block editor (PageMachine_BlockEditor.cpp).
    std::string blockEditor() const { return m_machine.blockEditor(); }
    std::string editorPointer(const std::string &type, double x, double y, int button)
    {
        return m_machine.editorPointer(type, x, y, button);
    }
    void editorPopup(int entry) { m_machine.editorPopup(entry); }
    void editorDrop(int tab, int position, double x, double y) { m_machine.editorDrop(tab, position, x, y); }
    bool editorCommand(const std::string &name) { return m_machine.editorCommand(name); }
    void editorVariable(int row, const std::string &text) { m_machine.editorVariable(row, text); }
    void editorDragMode(bool on) { m_machine.editorDragMode(on); }
    void detailPick(int button) { m_machine.detailPick(button); }
    void detailOperator(const std::string &text) { m_machine.detailOperator(text); }
    void detailLamp(const std::string &text) { m_machine.detailLamp(text); }
    void detailOk() { m_machine.detailOk(); }
    void detailClose() { m_machine.detailClose(); }
    void chooseVariable(int entry) { m_machine.chooseVariable(entry); }
    bool escape() { return m_machine.escape(); }
    bool canUndo() const { return m_machine.canUndo(); }
    bool canRedo() const { return m_machine.canRedo(); }
    std::string historyNote() const { return m_machine.historyNote(); }

private:
    static val result(const jhk::PageMachine::OpenResult &r)
    {
        val o = val::object();
        o.set("ok", r.ok);
        o.set("message", r.message);
        return o;
    }

    JsHost m_host; // before the machine, which reports to it from its start
    jhk::PageMachine m_machine;
};

} // namespace

namespace {

// The start window's texts: its title and the description under each level.
val startWindowTexts()
{
    val o = val::object();
    o.set("title", std::string(jhk::StartWindowTitle));
    val levels = val::array();
    for (int i = 0; i < 3; ++i)
        levels.call<void>("push", jhk::startWindowLevelText(i));
    o.set("levels", levels);
    return o;
}

} // namespace

EMSCRIPTEN_BINDINGS(jihankobo)
{
    emscripten::function("putAppFile", &putAppFile);
    emscripten::function("startWindowTexts", &startWindowTexts);
    emscripten::function("fitCaption", &fitCaption);
    emscripten::function("partNumberRect", &partNumberRect);
    emscripten::function("placeRunView", &placeRunView);
    emscripten::class_<Machine>("Machine")
        .constructor<int, int>()
        .function("setHost", &Machine::setHost)
        .function("open", &Machine::open)
        .function("saveBytes", &Machine::saveBytes)
        .function("markSaved", &Machine::markSaved)
        .function("recoveryBytes", &Machine::recoveryBytes)
        .function("openRecovery", &Machine::openRecovery)
        .function("offerRecovery", &Machine::offerRecovery)
        .function("pointer", &Machine::pointer)
        .function("coinDrop", &Machine::coinDrop)
        .function("paletteDown", &Machine::paletteDown)
        .function("paletteDrop", &Machine::paletteDrop)
        .function("changeProperties", &Machine::changeProperties)
        .function("propertyDialog", &Machine::propertyDialog)
        .function("propertyScroll", &Machine::propertyScroll)
        .function("propertyOk", &Machine::propertyOk)
        .function("propertyCancel", &Machine::propertyCancel)
        .function("labelDialog", &Machine::labelDialog)
        .function("printLayout", &Machine::printLayout)
        .function("worksheetLayout", &Machine::worksheetLayout)
        .function("labelEdit", &Machine::labelEdit)
        .function("labelPress", &Machine::labelPress)
        .function("labelOk", &Machine::labelOk)
        .function("labelCancel", &Machine::labelCancel)
        .function("touch", &Machine::touch)
        .function("command", &Machine::command)
        .function("answer", &Machine::answer)
        .function("tick", &Machine::tick)
        .function("blink", &Machine::blink)
        .function("soundEnded", &Machine::soundEnded)
        .function("scene", &Machine::scene)
        .function("runView", &Machine::runView)
        .function("showRunView", &Machine::showRunView)
        .function("setRunSpeed", &Machine::setRunSpeed)
        .function("isModified", &Machine::isModified)
        .function("canUndo", &Machine::canUndo)
        .function("canRedo", &Machine::canRedo)
        .function("historyNote", &Machine::historyNote)
        // The file commands and the environment settings.
        .function("fileChosen", &Machine::fileChosen)
        .function("writeFailed", &Machine::writeFailed)
        .function("levelOptions", &Machine::levelOptions)
        .function("chooseLevel", &Machine::chooseLevel)
        // The block editor.
        .function("blockEditor", &Machine::blockEditor)
        .function("editorPointer", &Machine::editorPointer)
        .function("editorPopup", &Machine::editorPopup)
        .function("editorDrop", &Machine::editorDrop)
        .function("editorCommand", &Machine::editorCommand)
        .function("editorVariable", &Machine::editorVariable)
        .function("editorDragMode", &Machine::editorDragMode)
        .function("detailPick", &Machine::detailPick)
        .function("detailOperator", &Machine::detailOperator)
        .function("detailLamp", &Machine::detailLamp)
        .function("detailOk", &Machine::detailOk)
        .function("detailClose", &Machine::detailClose)
        .function("chooseVariable", &Machine::chooseVariable)
        .function("escape", &Machine::escape);
}
