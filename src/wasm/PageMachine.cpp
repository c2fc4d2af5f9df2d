#include "wasm/PageMachine.h"

#include "document/JhkDocument.h"
#include "document/RecoveryStore.h"
#include "engine/WaveFile.h"
#include "model/AppPaths.h"
#include "rules/FlowchartScene.h"
#include "rules/LevelChoice.h"
#include "rules/RunSpeed.h"
#include "rules/StageHints.h"
#include "rules/StageTexts.h"
#include "wasm/FlowchartJson.h"
#include "wasm/Json.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace jhk {

namespace {

// The width of one digit of the amount displays' digit strip, pixels.
constexpr int DigitGlyphPixels = 17;

// Where the page's documents are written for the reader, inside the module's memory files.
constexpr const char *DocumentFolder = "/documents";

Machine newMachine(int level, int background)
{
    Machine m;
    // The page draws at 96 dots an inch, as the desktop program on a usual screen.
    applyStartupValues(m.app, 15.0, 15.0);
    StartChoice choice;
    choice.level = std::clamp(level, 1, 3);
    choice.background = std::clamp(background, 0, 4);
    choice.apply(m.app);
    return m;
}

std::int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A colour of the machine's colour table (0x00BBGGRR, or the system menu colour) for CSS.
std::string cssColour(std::int32_t bgr)
{
    if (bgr == SystemMenuColor)
        return "#f0f0f0";
    const auto v = static_cast<std::uint32_t>(bgr);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
    return buf;
}

const char *changeName(StageChange what)
{
    switch (what) {
    case StageChange::Part: return "part";
    case StageChange::Label: return "label";
    case StageChange::Products: return "products";
    case StageChange::Wallet: return "wallet";
    case StageChange::WalletPicture: return "wallet";
    case StageChange::Selection: return "selection";
    case StageChange::RunList: return "runlist";
    case StageChange::Panel: return "panel";
    case StageChange::Blink: return "blink";
    case StageChange::Everything: return "everything";
    }
    return "everything";
}

// The file name of a document inside the memory files: its last component only, so that a
// name the page passes can never reach outside the folder.
std::string documentPath(const std::string &fileName)
{
    std::string name = std::filesystem::path(fileName).filename().string();
    if (name.empty() || name == "." || name == "..")
        name = RecoveryStore::DocumentName;
    return std::string(DocumentFolder) + "/" + name;
}

} // namespace

PageMachine::PageMachine(const std::string &appDir, int level, int background, PageHost &host)
    : m_appDir(appDir)
    , m_host(host)
    , m_machine(newMachine(level, background))
    , m_catalogue(appDir)
    , m_sizes(appDir)
    , m_engine(m_machine, m_catalogue, static_cast<StageView &>(*this), static_cast<SoundPlayer &>(*this), m_sizes)
    , m_runView(m_machine, m_catalogue, steadyMs)
    , m_editor(m_machine, m_engine.stage(), m_sizes, static_cast<UserDialogs &>(*this),
               static_cast<StageEditorHooks &>(*this))
    , m_controller(m_machine, m_engine, m_editor, static_cast<StageControllerHost &>(*this))
    , m_history(m_machine, m_engine, m_editor, m_face)
    , m_commands(m_machine, m_engine, m_editor, m_history, static_cast<UserDialogs &>(*this), m_face)
{
    m_engine.setScheduler(this);
    m_engine.partsLoad();
    m_engine.stage().background = m_machine.app.BackPictName;
    // A new level-1 machine shows the exercise step and its menu from the start, before any part.
    m_engine.stage().controls.stepControlsVisible = m_machine.app.Level == 1;
    m_machine.app.MoneyInHand = MainWindowMoney;
    m_engine.stage().moneyLabel = std::string(MoneyLabelPrefix) + std::to_string(MainWindowMoney);
    m_commands.markSaved();
    m_history.reset();
    m_runView.sync();
    std::error_code ec;
    std::filesystem::create_directories(DocumentFolder, ec);
}

PageMachine::~PageMachine()
{
    m_engine.setScheduler(nullptr);
    m_engine.setObserver(nullptr);
}

// --- Files as bytes ------------------------------------------------------------------------

namespace {

bool writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<std::uint8_t> readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

PageMachine::OpenResult PageMachine::open(const std::vector<std::uint8_t> &bytes, const std::string &fileName)
{
    if (m_machine.app.RunMode != ModeEditing)
        return {false, {}};
    // The reader decides on exactly what the desktop program would read from the disk, and
    // the machine is opened as the open command opens a file.
    const std::string path = documentPath(fileName);
    if (!writeFile(path, bytes)) {
        showMessage(UnreadableFileMessage);
        return {false, UnreadableFileMessage};
    }
    // A refused document shows the reader's message through the host and leaves the machine.
    m_lastMessage.clear();
    const bool opened = m_commands.openPath(path);
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (!opened)
        return {false, m_lastMessage};
    m_fileName = fileName;
    m_runView.sync();
    return {true, {}};
}

std::vector<std::uint8_t> PageMachine::saveBytes()
{
    if (m_machine.app.RunMode != ModeEditing)
        return {};
    // As the save command: the stage's places go back into the tables first.
    m_engine.checkAll();
    EncodeResult encoded = encodeDocument(m_machine);
    m_history.rebase();
    if (!encoded.ok) {
        showMessage(encoded.message.empty() ? SaveFailedMessage : encoded.message);
        return {};
    }
    return std::move(encoded.bytes);
}

void PageMachine::markSaved(const std::string &fileName)
{
    m_commands.markSaved();
    m_fileName = fileName;
}

void PageMachine::askForFile(bool save, TextHandler chosen)
{
    // A dialog the page never answered gives way to the new one.
    if (m_fileQuestion) {
        FileQuestion stale = std::move(*m_fileQuestion);
        m_fileQuestion.reset();
        stale.chosen(std::nullopt);
    }
    m_fileQuestion = FileQuestion{save, std::move(chosen)};
    m_host.request(save ? "savefile" : "openfile", -1);
}

std::vector<std::uint8_t> PageMachine::fileChosen(const std::string &name, const std::vector<std::uint8_t> &bytes)
{
    if (!m_fileQuestion)
        return {};
    FileQuestion question = std::move(*m_fileQuestion);
    m_fileQuestion.reset();
    const std::string path = documentPath(name);
    std::error_code ec;
    if (name.empty()) {
        question.chosen(std::nullopt);
        return {};
    }
    m_chosenName = std::filesystem::path(name).filename().string();
    if (!question.save) {
        if (!writeFile(path, bytes)) {
            showMessage(UnreadableFileMessage);
            question.chosen(std::nullopt);
            return {};
        }
        question.chosen(path);
        std::filesystem::remove(path, ec);
        return {};
    }
    // The writer writes into the module's memory files; the page keeps the bytes in the file
    // the pupil chose.
    std::filesystem::remove(path, ec);
    question.chosen(path);
    std::vector<std::uint8_t> written = m_commands.hasUnsavedChanges() ? std::vector<std::uint8_t>() : readFile(path);
    std::filesystem::remove(path, ec);
    return written;
}

bool PageMachine::fileCommand(const std::string &name)
{
    // Each ends in a request to the page, as the desktop's window acts once the pupil has
    // answered every question.
    if (name == "open") {
        m_commands.open([this](bool opened) {
            if (opened) {
                m_fileName = m_chosenName;
                m_runView.sync();
            }
            m_host.request("opened", opened ? 1 : 0);
        });
    } else if (name == "save") {
        m_commands.save([this](bool saved) {
            if (saved)
                m_fileName = m_chosenName;
            m_host.changed("everything", -1);
        });
    } else if (name == "new") {
        if (m_machine.app.RunMode != ModeEditing || m_properties || m_label)
            return true;
        m_commands.offerSave([this](bool goOn) {
            if (goOn)
                m_host.request("new", -1);
        });
    } else if (name == "quit") {
        if (m_properties || m_label)
            return true;
        m_commands.quit([this](bool quits) {
            if (quits)
                m_host.request("quit", -1);
        });
    } else {
        return false;
    }
    return true;
}

std::vector<std::uint8_t> PageMachine::recoveryBytes() const
{
    // During a run the tables hold the run's values; the copy keeps the machine as edited.
    if (m_machine.app.RunMode != ModeEditing)
        return {};
    EncodeResult encoded = encodeDocument(m_machine);
    if (!encoded.ok)
        return {};
    RecoveredMachine copy;
    copy.document = std::move(encoded.bytes);
    return encodeRecoveryCopy(copy);
}

PageMachine::OpenResult PageMachine::openRecovery(const std::vector<std::uint8_t> &bytes)
{
    const RecoveryRead read = decodeRecoveryCopy(bytes);
    if (!read.machine) {
        showMessage(read.message);
        return {false, read.message};
    }
    OpenResult opened = open(read.machine->document, RecoveryStore::DocumentName);
    // A restored machine has not been saved anywhere yet.
    if (opened.ok) {
        m_commands.markUnsaved();
        m_fileName.clear();
    }
    return opened;
}

void PageMachine::offerRecovery(const std::vector<std::uint8_t> &bytes, double madeAt)
{
    auto copy = std::make_shared<const std::vector<std::uint8_t>>(bytes);
    const std::optional<long long> when = madeAt >= 0 ? std::optional<long long>(static_cast<long long>(madeAt)) : std::nullopt;
    UserDialogs &dialogs = *this;
    dialogs.ask(recoveryQuestion(when), MessageButtons::YesNo, MessageIcon::Question, [this, copy](Answer a) {
        const bool restored = a == Answer::Yes && m_machine.app.RunMode == ModeEditing && openRecovery(*copy).ok;
        m_host.request("recovered", restored ? 1 : 0);
    });
}

bool PageMachine::isModified() const
{
    return m_commands.hasUnsavedChanges();
}

// --- The environment settings ----------------------------------------------------------------

std::string PageMachine::levelOptions() const
{
    JsonWriter j;
    j.beginArray();
    for (int i = 0; i < 3; ++i) {
        j.beginObject().field("text", optionWindowLevelText(i));
        j.field("enabled", levelOptionEnabled(m_machine.app.Level, i + 1));
        j.field("checked", i + 1 == m_machine.app.Level).endObject();
    }
    j.endArray();
    return j.text();
}

void PageMachine::chooseLevel(int chosen)
{
    if (m_machine.app.RunMode != ModeEditing)
        return;
    raiseLevel(
        m_machine.app, chosen, *this,
        [this] {
            // The level panel and the step menu follow; a level is never lowered again, so
            // undo does not go back across its raise.
            m_engine.stage().controls.stepControlsVisible = m_machine.app.Level == 1;
            m_history.reset();
            m_runView.sync();
            m_host.changed("everything", -1);
        },
        // The settings window stays over the main window until its question is answered.
        [this](bool raised) { m_host.request("levelchosen", raised ? 1 : 0); });
}

// --- Pointer, coins, commands ----------------------------------------------------------------

void PageMachine::coinDrop(int d, int centreX, int centreY)
{
    if (d < 0 || d >= static_cast<int>(CoinValues.size()))
        return;
    const int k = m_engine.visibleCoin(d);
    if (k < 0)
        return;
    const StageRect from = m_engine.stage().coins[static_cast<std::size_t>(k)].rect;
    const int left = centreX * m_machine.app.TwipsX - from.width / 2;
    const int top = centreY * m_machine.app.TwipsY - from.height / 2;
    m_engine.coinDown(k, 0, 0);
    m_engine.coinMove(k, left - from.left, top - from.top);
    m_engine.coinUp(k, CoinAim::Centre);
}

void PageMachine::touch(int slot)
{
    if (!m_machine.partExists(slot))
        return;
    m_engine.runPartDown(slot, 0, 0);
    m_engine.runPartUp(slot);
    m_engine.touchPart(slot);
}

bool PageMachine::command(const std::string &name)
{
    if (name == "run") {
        m_engine.startRun();
        m_runView.followMode();
    } else if (name == "stop") {
        m_engine.stopRun();
        // A run is not an edit: the history starts again from the machine it left.
        m_history.rebase();
        m_runView.followMode();
    } else if (name == "stepmode") {
        m_engine.stepMode();
    } else if (name == "next") {
        m_engine.nextStep();
    } else if (name == "wallet") {
        m_engine.drawWallet();
    } else if (name == "money") {
        if (m_machine.app.RunMode != ModeEditing)
            return true;
        changeMoneyInHand();
    } else if (name == "undo" || name == "redo") {
        // Not while a dialog of the page is open, as behind a modal window.
        if (m_properties || m_label)
            return true;
        name == "undo" ? m_history.undo() : m_history.redo();
    } else if (name == "step1" || name == "step2" || name == "step3") {
        // The exercise step of level 1: every part's program is cut down or restored.
        if (m_machine.app.RunMode != ModeEditing || m_properties || !m_engine.stage().controls.stepControlsVisible)
            return true;
        const int step = name.back() - '0';
        m_machine.app.Step = static_cast<std::uint8_t>(step);
        m_engine.chooseExerciseStep(step);
        m_runView.sync();
    } else if (name == "delete") {
        if (m_properties)
            return true;
        m_editor.deleteCurrent();
    } else {
        return fileCommand(name);
    }
    m_history.record();
    return true;
}

int PageMachine::ask(const std::string &text, const std::string &buttons, const std::string &icon,
                     std::function<void(const std::string &)> then, const std::string &initial)
{
    const int id = m_nextId++;
    if (then)
        m_questions[id] = std::move(then);
    m_host.message(id, text, buttons, icon, initial);
    return id;
}

void PageMachine::answer(int id, const std::string &answer)
{
    const auto it = m_questions.find(id);
    if (it == m_questions.end())
        return;
    auto then = std::move(it->second);
    m_questions.erase(it);
    then(answer);
}

void PageMachine::tick()
{
    if (!m_timerPending)
        return;
    m_timerPending = false;
    m_engine.resumeRun();
}

void PageMachine::blink()
{
    m_engine.tickBlink();
}

// --- What the engine reports -----------------------------------------------------------------

void PageMachine::showMessage(const std::string &text)
{
    m_lastMessage = text;
    ask(text, "ok", "", {});
}

void PageMachine::showRunMessage(const std::string &text, std::function<void(RunMessageAnswer)> answered)
{
    // The run stays paused behind the box; "停止" ends it as the window's own "停止" does.
    m_lastMessage = text;
    ask(text, "okstop", "", [this, answered](const std::string &answer) {
        answered(answer == "stop" ? RunMessageAnswer::Stop : RunMessageAnswer::Ok);
        if (m_machine.app.RunMode == ModeEditing) {
            // A run is not an edit: the history starts again from the machine it left.
            m_history.rebase();
            m_runView.followMode();
        }
        m_host.changed("everything", -1);
    });
}

void PageMachine::runListLineAdded(const std::string &line)
{
    m_host.runList(line);
}

void PageMachine::stageChanged(StageChange what, int index)
{
    m_host.changed(changeName(what), index);
}

void PageMachine::play(const std::string &name, PlayMode mode)
{
    m_host.sound(name, mode == PlayMode::Sync ? "sync" : mode == PlayMode::Async ? "async" : "loop");
}

void PageMachine::stop()
{
    m_host.sound("", "stop");
}

int PageMachine::startWaited(const std::string &name)
{
    m_host.sound(name, "sync");
    const std::string file = resolveInFolder(m_appDir, name);
    return file.empty() ? 0 : waveLengthMs(file).value_or(0);
}

void PageMachine::resumeAfter(int ms)
{
    m_timerPending = true;
    m_host.timer(ms);
}

void PageMachine::cancelResume()
{
    if (!m_timerPending)
        return;
    m_timerPending = false;
    m_host.timer(-1);
}

// --- What the page draws -----------------------------------------------------------------------

std::string PageMachine::scene() const
{
    const Stage &s = m_engine.stage();
    const AppState &app = m_machine.app;
    const int tx = std::max<int>(1, app.TwipsX);
    const int ty = std::max<int>(1, app.TwipsY);
    JsonWriter j;
    auto rect = [&](const StageRect &r) {
        j.field("x", r.left / tx).field("y", r.top / ty).field("w", r.width / tx).field("h", r.height / ty);
    };
    j.beginObject();
    j.field("width", StageWidthPixels).field("height", StageHeightPixels);
    j.field("twipsX", tx).field("twipsY", ty);
    j.field("background", s.background.empty() ? app.BackPictName : s.background);
    j.field("walletDrawn", s.walletDrawn);
    j.field("level", int(app.Level)).field("step", int(app.Step)).field("runMode", int(app.RunMode));
    j.field("levelCaption", levelCaption(app.Level)).field("levelText", levelDescription(app.Level));
    j.field("stepCaption", stepCaption(app.Step)).field("stepText", stepExplanation(app.Step));
    const SelectionPanel &panel = m_editor.panel();
    j.key("panel").beginObject();
    j.field("partsCount", panel.partsCount).field("partsId", panel.partsId).field("partsName", panel.partsName);
    j.field("x", panel.x).field("y", panel.y).field("pictureKind", panel.pictureKind);
    j.field("pictureVisible", panel.pictureVisible);
    j.endObject();
    j.field("moneyInHand", int(app.MoneyInHand));
    j.key("parts").beginArray();
    for (int i = 0; i < PartSlots; ++i) {
        const PartControl &c = s.part(i);
        if (!c.visible && !m_machine.partExists(i))
            continue;
        j.beginObject().field("slot", i).field("kind", int(m_machine.part(i).Kind));
        j.field("z", m_editor.order().parts[static_cast<std::size_t>(i)]);
        rect(c.rect);
        j.field("picture", c.picture).field("visible", c.visible).field("digits", c.digits);
        // Where an amount display's digits go, rightmost first, in stage pixels.
        j.key("digitBoxes").beginArray();
        if (!c.digits.empty()) {
            for (int k = 1; k <= AmountDigits; ++k) {
                StageRect box = Stage::digitBox(m_machine, k, DigitGlyphPixels * tx);
                box.left += c.rect.left;
                box.top += c.rect.top;
                j.beginObject();
                rect(box);
                j.endObject();
            }
        }
        j.endArray();
        j.field("numberShown", c.numberShown).endObject();
    }
    j.endArray();
    j.key("labels").beginArray();
    for (int i = 1; i < LabelSlots; ++i) {
        const LabelControl &l = s.labels[static_cast<std::size_t>(i)];
        if (!l.visible)
            continue;
        j.beginObject().field("slot", i).field("z", m_editor.order().labels[static_cast<std::size_t>(i)]);
        rect(l.rect);
        j.field("caption", l.caption).field("fontSize", l.fontSize).field("back", cssColour(l.backColor));
        j.field("fore", cssColour(l.foreColor)).field("transparent", l.transparent).field("bold", l.bold);
        j.field("italic", l.italic).field("visible", l.visible).endObject();
    }
    j.endArray();
    j.key("products").beginArray();
    for (const ProductImage &p : s.products) {
        j.beginObject().field("n", p.n).field("picture", p.picture).field("kind", p.sourceKind);
        rect(p.rect);
        j.field("visible", p.visible).endObject();
    }
    j.endArray();
    j.key("coins").beginArray();
    for (std::size_t k = 0; k < s.coins.size(); ++k) {
        j.beginObject().field("index", int(k)).field("denomination", int(k % 5)).field("yen", CoinValues[k % 5]);
        rect(s.coins[k].rect);
        // The coin held by the mouse is drawn in front of everything, the others under the parts.
        j.field("visible", s.coins[k].visible).field("held", int(k) == app.DraggedCoin).endObject();
    }
    j.endArray();
    j.key("coinLabels").beginArray();
    for (const CoinLabel &l : s.coinLabels) {
        j.beginObject();
        rect(l.rect);
        j.field("text", l.text).field("visible", l.visible).endObject();
    }
    j.endArray();
    j.key("wallet").beginArray();
    for (auto n : app.Wallet)
        j.value(int(n));
    j.endArray();
    j.key("selection");
    if (s.selection.visible) {
        j.beginObject();
        rect(s.selection.rect);
        j.field("z", m_editor.order().frame).endObject();
    } else {
        j.null();
    }
    j.field("moneyLabel", s.moneyLabel).field("stateLabel", s.stateLabel);
    j.field("stateColor", cssColour(s.stateLabelColor)).field("blockStateLabel", s.blockStateLabel);
    j.field("chartEndColour", s.chartEndColor ? cssColour(s.chartEndColor) : std::string());
    j.field("partNumberColour", cssColour(PartNumberColor));
    j.field("runHint", s.runHint);
    j.key("runList").beginArray();
    for (const std::string &line : s.runList)
        j.value(line);
    j.endArray();
    j.field("runListSelection", s.runListSelection);
    const StageControls &c = s.controls;
    j.key("controls").beginObject();
    j.field("start", c.startEnabled).field("stop", c.stopEnabled).field("step", c.stepEnabled);
    j.field("next", m_engine.stepRunWaiting()).field("open", c.openEnabled).field("save", c.saveEnabled);
    j.field("money", c.moneyEnabled).field("partButtons", c.partButtonsEnabled).field("labelButton", c.labelButtonEnabled);
    j.field("delete", c.deleteEnabled).field("runPointer", c.runPointer).field("chartVisible", c.chartVisible);
    j.field("stepControlsVisible", c.stepControlsVisible);
    j.field("undo", m_history.canUndo());
    j.field("redo", m_history.canRedo());
    j.field("undoCaption", m_history.undoCaption()).field("redoCaption", m_history.redoCaption());
    j.endObject();
    j.field("modified", isModified()).field("fileName", m_fileName);
    j.field("pickHint", isPicking(app.RunMode) ? PickPartHint : "");
    j.endObject();
    return j.text();
}

void PageMachine::showRunView(bool open)
{
    if (open) {
        m_engine.setObserver(&m_runView);
        m_engine.setBlockDelayMs(RunSpeeds[static_cast<std::size_t>(m_runSpeed)].blockDelayMs);
        if (!m_engine.runEndCurrent())
            m_runView.forgetRunEnd();
        m_runView.sync();
    } else if (m_runViewOpen) {
        if (m_engine.observer() == &m_runView)
            m_engine.setObserver(nullptr);
        m_engine.setBlockDelayMs(0);
    }
    m_runViewOpen = open;
}

void PageMachine::setRunSpeed(int index)
{
    if (index < 0 || index >= static_cast<int>(RunSpeeds.size()))
        return;
    m_runSpeed = index;
    if (m_runViewOpen)
        m_engine.setBlockDelayMs(RunSpeeds[static_cast<std::size_t>(index)].blockDelayMs);
}

namespace {

std::string cssOf(std::uint32_t bgr)
{
    return cssColour(static_cast<std::int32_t>(bgr));
}

} // namespace

std::string PageMachine::runView()
{
    // What the window does whenever the machine changed, before it draws.
    if (!m_engine.runEndCurrent())
        m_runView.forgetRunEnd();
    m_runView.followMode();
    m_runView.sync();

    const RunViewModel &v = m_runView;
    const std::int64_t now = v.now();
    JsonWriter j;
    j.beginObject();
    j.field("open", m_runViewOpen);
    j.field("title", v.title()).field("status", v.status());
    j.field("statusColour", v.quietStop() ? cssOf(RunViewModel::HintColour) : std::string());
    j.field("flashColour", cssOf(RunViewModel::FlashColour));
    j.field("shownPart", v.shownPart()).field("runningBlock", v.runningBlock());
    j.field("waitingBlock", v.waitingBlock()).field("stoppedBlock", v.stoppedBlock());
    j.field("programRunning", v.programRunning()).field("quietStop", v.quietStop());
    j.key("path").beginArray();
    for (const RunViewModel::Link &l : v.path())
        j.beginObject().field("from", l.from).field("exit", l.exit).endObject();
    j.endArray();
    j.key("rows").beginArray();
    for (const RunViewModel::Row &r : v.rows()) {
        j.beginObject().field("slot", r.slot).field("kind", r.kind).field("kindName", r.kindName);
        j.key("cells").beginArray();
        for (const RunViewModel::Cell &c : r.cells) {
            j.beginObject().field("which", std::string(1, c.which)).field("label", c.label).field("value", c.value);
            j.field("flashing", v.flashing(c, now)).endObject();
        }
        j.endArray().endObject();
    }
    j.endArray();
    j.key("log").beginArray();
    for (const std::string &line : v.log())
        j.value(line);
    j.endArray();
    j.field("logSerial", static_cast<std::int64_t>(v.logSerial()));
    const std::int64_t flashEnd = v.nextFlashEnd(now);
    j.field("nextFlashEnd", flashEnd).field("nextFlashEndMs", flashEnd < 0 ? -1 : static_cast<int>(flashEnd - now));
    j.field("blockDelayMs", m_engine.blockDelayMs());
    j.key("speeds").beginArray();
    for (const RunSpeed &speed : RunSpeeds)
        j.beginObject().field("caption", speed.caption).field("blockDelayMs", speed.blockDelayMs).endObject();
    j.endArray();
    j.field("speed", m_runSpeed);
    // The flowchart of the shown part, in canvas pixels, with the marks of the run over it.
    j.key("flowchart");
    const int part = v.shownPart();
    if (!m_machine.partExists(part)) {
        j.null();
    } else {
        const AppState &app = m_machine.app;
        const PartsRecord &p = m_machine.part(part);
        CanvasGeometry g;
        g.twipsX = std::max<int>(1, app.TwipsX);
        g.twipsY = std::max<int>(1, app.TwipsY);
        const FlowchartScene scene = buildFlowchartScene(p, g, app.Level == 1 && p.BlockCount <= 0, app.Step);
        const double tx = g.twipsX, ty = g.twipsY;
        auto box = [&](const TwipsRect &r) {
            j.field("x", r.left / tx).field("y", r.top / ty).field("w", r.width / tx).field("h", r.height / ty);
        };
        auto boxOrNull = [&](std::string_view key, int block) {
            j.key(key);
            if (block == LinkEnd) {
                j.beginObject();
                box(g.endBox());
                j.endObject();
            } else if (block >= 0 && block < BlockSlots && p.Blocks[static_cast<std::size_t>(block)].isUsed()) {
                const BlockRecord &b = p.Blocks[static_cast<std::size_t>(block)];
                j.beginObject();
                box(g.boxAt(b.X, b.Y));
                j.endObject();
            } else {
                j.null();
            }
        };
        auto line = [&](const ConnectorItem &c) {
            j.field("x1", c.x1 / tx).field("y1", c.y1 / ty).field("x2", c.x2 / tx).field("y2", c.y2 / ty);
        };
        j.beginObject();
        writeFlowchartFields(j, scene);
        // The links the last program took, drawn broad under the boxes.
        j.field("pathColour", cssOf(RunPathColour));
        j.key("pathLines").beginArray();
        for (const RunViewModel::Link &link : v.path())
            for (const ConnectorItem &c : linkDrawing(p, g, link.from, link.exit))
                if (c.type == ConnectorItem::Type::Line) {
                    j.beginObject();
                    line(c);
                    j.endObject();
                }
        j.endArray();
        boxOrNull("running", v.runningBlock());
        boxOrNull("next", v.waitingBlock());
        boxOrNull("stopped", v.stoppedBlock());
        j.field("runningColour", cssOf(RunPathColour)).field("nextColour", cssOf(NextBlockColour));
        j.field("stoppedColour", cssOf(StoppedBlockColour));
        j.endObject();
    }
    j.endObject();
    return j.text();
}

} // namespace jhk
