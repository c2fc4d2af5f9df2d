// End-to-end runs of jihankobo-sim on machine documents written by the core.
#include "../engine/EngineRig.h"

#include "document/JhkDocument.h"
#include "model/Level1Programs.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace jhk;
using namespace jhk::testing;

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

struct SimResult {
    int exitCode = -1;
    Lines out;
    std::string err;
};

class Simulator : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("jhk-sim-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string quote(const std::string &s) { return "'" + s + "'"; }

    static std::string readFile(const fs::path &p)
    {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Saves the machine of `rig` as `name` in the test folder.
    std::string save(Rig &rig, const std::string &name = "machine.jhk")
    {
        rig.engine.checkAll();
        const std::string path = (dir / name).string();
        EXPECT_TRUE(saveDocument(path, rig.m).ok);
        return path;
    }

    // Runs the simulator in the test folder with `args` and the script on its standard input.
    SimResult run(const std::string &args, const std::string &script)
    {
        std::ofstream(dir / "script.txt", std::ios::binary) << script;
        const std::string cmd = "cd " + quote(dir.string()) + " && " + quote(JHK_SIM) + " " + args
            + " < script.txt > out.txt 2> err.txt";
        const int status = std::system(cmd.c_str());
        SimResult r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::istringstream out(readFile(dir / "out.txt"));
        for (std::string line; std::getline(out, line);)
            r.out.push_back(line);
        r.err = readFile(dir / "err.txt");
        return r;
    }

    SimResult runMachine(const std::string &path, const std::string &script)
    {
        return run("--app-dir " + quote(JHK_APP_DIR) + " " + quote(path), script);
    }
};

// The state lines of an output, and the other lines apart.
Lines states(const SimResult &r)
{
    Lines s;
    for (const std::string &l : r.out) {
        if (l.rfind("state\t", 0) == 0)
            s.push_back(l.substr(6));
    }
    return s;
}

Lines events(const SimResult &r)
{
    Lines e;
    for (const std::string &l : r.out) {
        if (l.rfind("state\t", 0) != 0)
            e.push_back(l);
    }
    return e;
}

bool has(const std::string &json, const std::string &piece)
{
    return json.find(piece) != std::string::npos;
}

} // namespace

TEST_F(Simulator, FullPurchaseEndToEnd)
{
    Rig rig;
    buildVendingMachine(rig);
    const SimResult r = runMachine(save(rig), R"(# a purchase of 120 yen with 150
run
coin 100
coin 50
state
touch 1
touch 5
state
stop
state
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(events(r), (Lines{
        "sound\tMoney_1.wav\tasync",
        "sound\tMoney_1.wav\tasync",
        "list\tボタン",
        "list\t  条件分岐",
        "sound\tkan.wav\tsync",
        "list\t  商品排出",
        "list\t  カウンター減算",
        "list\t  在庫減数",
        "list\t  条件分岐",
        "list\t  購買可ランプ消灯",
        "list\t釣レバー",
        "message\tお釣が30円でました",
        "list\t  釣銭排出",
        "list\t  購買可ランプ消灯",
    }));
    const Lines s = states(r);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_TRUE(has(s[0], R"("run_mode":1,"level":3)")) << s[0];
    EXPECT_TRUE(has(s[0], R"("wallet":[2,1,0,1,5],"discharged":0,"parts_count":6,"label_count":0)")) << s[0];
    EXPECT_TRUE(has(s[0], R"({"slot":1,"kind":1,"a":1,"b":0,"c":0,"lamp_link":0,"picture":"\\bg\\button_2.bmp","display":"","first_block":0,"block_count":6)")) << s[0];
    EXPECT_TRUE(has(s[0], R"("slot":2,"kind":2,"a":0,"b":0,"c":0,"lamp_link":1,"picture":"dummy")")) << s[0];
    EXPECT_TRUE(has(s[0], R"("slot":3,"kind":3,"a":150,"b":0,"c":0,"lamp_link":0,"picture":"dummy","display":"150")")) << s[0];

    EXPECT_TRUE(has(s[1], R"("money_in_hand":2700,"money_setting":9990,"wallet":[2,1,0,1,8],"discharged":1)")) << s[1];
    EXPECT_TRUE(has(s[1], R"("slot":0,"kind":0,"a":120,"b":4)")) << s[1];
    EXPECT_TRUE(has(s[1], R"("slot":3,"kind":3,"a":0,"b":0,"c":0,"lamp_link":0,"picture":"dummy","display":"0")")) << s[1];
    EXPECT_TRUE(has(s[1], R"("picture":"\\bg\\rebaa_1.bmp")")) << s[1];
    // the outlet is at (100, 400) px and 188 px wide, the product 34 px
    EXPECT_TRUE(has(s[1], R"("products":[{"n":1,"picture":"dummy","left":2655,"top":6000}])")) << s[1];

    EXPECT_TRUE(has(s[2], R"("run_mode":0)")) << s[2];
    EXPECT_TRUE(has(s[2], R"("wallet":[2,1,1,2,5],"discharged":0)")) << s[2];
    EXPECT_TRUE(has(s[2], R"("slot":1,"kind":1,"a":0,"b":0,"c":0,"lamp_link":1,"picture":"\\bg\\button_1.bmp")")) << s[2];
    EXPECT_TRUE(has(s[2], R"("slot":3,"kind":3,"a":0,"b":0,"c":0,"lamp_link":1,"picture":"dummy","display":"","first_block":-1)")) << s[2];
    EXPECT_TRUE(has(s[2], R"("products":[])")) << s[2];
}

TEST_F(Simulator, OneBlockModeAndAScriptEndingWhileWaiting)
{
    Rig rig;
    buildVendingMachine(rig);
    const SimResult r = runMachine(save(rig), "run\nstepmode\ncoin 100\nnext\nnext\ncoin 10\ntouch 1\nstate\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(events(r), (Lines{
        "list\t投入口",
        "list\t  投入金加算",
        "list\t  条件分岐",
        "list\t　(実行終了）",
        "list\t  ",
        "sound\tMoney_1.wav\tasync",
        "list\t",
        "list\t投入口", // the touch that follows is ignored: a step run is in progress
    }));
    ASSERT_EQ(states(r).size(), 1u);
    EXPECT_TRUE(has(states(r)[0], R"("run_mode":2)"));
    EXPECT_TRUE(has(states(r)[0], R"("wallet":[2,1,0,2,5])")) << states(r)[0];
}

TEST_F(Simulator, MalformedScriptsRunNothing)
{
    Rig rig;
    buildVendingMachine(rig);
    const std::string path = save(rig);
    const char *bad[] = {
        "dance", "touch", "touch x", "touch 1 2", "coin 20", "coin", "coin 100 there", "coin ten",
        "exercise 4", "exercise 0", "run now", "save", "save ", "state please", "Run",
    };
    for (const char *line : bad) {
        const SimResult r = runMachine(path, std::string("state\n\n# fine so far\n") + line + "\nstate\n");
        EXPECT_EQ(r.exitCode, 2) << line;
        EXPECT_TRUE(r.out.empty()) << line;
        EXPECT_NE(r.err.find("line 4"), std::string::npos) << line << ": " << r.err;
    }
}

TEST_F(Simulator, OddScriptTextIsRefusedOrSkippedWithoutHarm)
{
    Rig rig;
    buildVendingMachine(rig);
    const std::string path = save(rig);
    struct Case {
        std::string script;
        int exitCode;
    };
    const Case cases[] = {
        {"\r\r\n\v\f\n \t \n#\n", 0},
        {"run\r\nstate\r\n", 0},
        {std::string("state\0\n", 7), 2},
        {"\xff\xfe\x00garbage\n", 2},
        {std::string(100000, 'x') + "\n", 2},
        {"touch 99999999999999999999\n", 2},
        {"money " + std::string(5000, '9') + "\n", 0},
        {"coin 100 away away\n", 2},
    };
    for (const Case &c : cases) {
        const SimResult r = runMachine(path, c.script);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.script.substr(0, 40) << r.err;
    }
}

TEST_F(Simulator, CommandLineAndUnreadableMachines)
{
    EXPECT_EQ(run("", "").exitCode, 2);
    EXPECT_EQ(run("--app-dir", "").exitCode, 2);
    EXPECT_EQ(run("--speed 3 a.jhk", "").exitCode, 2);
    EXPECT_EQ(run("a.jhk b.txt c.txt", "").exitCode, 2);
    EXPECT_EQ(run("a.jhk missing-script.txt", "").exitCode, 2);

    const SimResult missing = runMachine((dir / "none.jhk").string(), "state\n");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, Lines{"message\tファイル名が存在しません！"});

    std::ofstream(dir / "foreign.jhk") << "just some text";
    const SimResult foreign = runMachine((dir / "foreign.jhk").string(), "state\n");
    EXPECT_EQ(foreign.exitCode, 1);
    EXPECT_EQ(foreign.out, Lines{"message\tジハンコウボウ形式のファイルではありません！"});
}

TEST_F(Simulator, ActionsTheDesktopWouldIgnore)
{
    Rig rig;
    buildVendingMachine(rig);
    const SimResult r = runMachine(save(rig), R"(coin 100
next
stepmode
touch 1
touch 30
touch -4
touch 31
run
touch 4
touch 2
coin 100 away
coin 100
coin 100
exercise 1
money 100
state
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // only the first 100-yen coin went in: the wallet had one
    EXPECT_EQ(events(r), Lines{"sound\tMoney_1.wav\tasync"});
    EXPECT_TRUE(has(states(r)[0], R"("run_mode":1,"level":3,"step":1,"money_in_hand":2670,"money_setting":9990,"wallet":[2,1,0,2,5])"))
        << states(r)[0];
    EXPECT_TRUE(has(states(r)[0], R"("display":"100")")) << states(r)[0];
}

TEST_F(Simulator, MoneyAndSave)
{
    Rig rig;
    buildVendingMachine(rig);
    const SimResult r = runMachine(save(rig), "money  780\nstate\nmoney\nmoney -5\nmoney 10005\nmoney 九\nsave copy.jhk\n"
                                              "save no/such/folder/x.jhk\nstate\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Lines e = events(r);
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0], std::string("message\t") + msg::NegativeMoney);
    EXPECT_EQ(e[1], std::string("message\t") + msg::TooMuchMoney);
    EXPECT_EQ(e[2], std::string("message\t") + msg::NotANumber);
    EXPECT_EQ(e[3].rfind(std::string("message\t") + SaveFailedMessage + "\\n", 0), 0u) << e[3]; // two lines in one
    EXPECT_TRUE(has(states(r)[0], R"("money_in_hand":780,"money_setting":780,"wallet":[0,1,2,1,3])")) << states(r)[0];
    EXPECT_EQ(states(r)[0], states(r)[1]);

    // the saved copy opens with the new money
    const SimResult copy = runMachine((dir / "copy.jhk").string(), "state\n");
    ASSERT_EQ(copy.exitCode, 0);
    EXPECT_EQ(states(copy)[0], states(r)[0]);
}

TEST_F(Simulator, LevelOneDocumentsOpenInStepOne)
{
    Rig rig(1);
    const int button = rig.add(KindButton, 40, 120);
    const int slot = rig.add(KindCoinSlot, 300, 100);
    switchExerciseStep(rig.m, 3);
    ASSERT_EQ(rig.m.part(button).BlockCount, 5);
    const SimResult r = runMachine(save(rig), "state\nexercise 2\nstate\nexercise 3\nstate\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Lines s = states(r);
    ASSERT_EQ(s.size(), 3u);
    const std::string b = R"("slot":)" + std::to_string(button);
    const std::string c = R"("slot":)" + std::to_string(slot);
    EXPECT_TRUE(has(s[0], R"("level":1,"step":1)")) << s[0];
    EXPECT_TRUE(has(s[0], b + R"(,"kind":1,"a":0,"b":0,"c":0,"lamp_link":0,"picture":"dummy","display":"","first_block":1,"block_count":1)")) << s[0];
    EXPECT_TRUE(has(s[0], c + R"(,"kind":2,"a":0,"b":0,"c":0,"lamp_link":0,"picture":"dummy","display":"","first_block":0,"block_count":0)")) << s[0];
    EXPECT_TRUE(has(s[1], R"("step":2)")) << s[1];
    EXPECT_TRUE(has(s[1], R"("first_block":0,"block_count":2)")) << s[1];
    EXPECT_TRUE(has(s[2], R"("first_block":0,"block_count":5)")) << s[2];
    EXPECT_TRUE(has(s[2], R"("first_block":0,"block_count":3)")) << s[2];
}

TEST_F(Simulator, PartsTakeTheSizeOfTheirPictureFiles)
{
    // an application folder with the catalogue and one 40 × 100 picture
    const fs::path app = dir / "app";
    fs::create_directories(app / "BG");
    fs::copy_file(fs::path(JHK_APP_DIR) / "jihan.ini", app / "jihan.ini");
    std::string bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[14] = 40;
    bmp[18] = 40;
    bmp[22] = 100;
    std::ofstream(app / "BG" / "KAN_9.BMP", std::ios::binary) << bmp;

    Rig rig;
    const int product = rig.add(KindProduct, 40, 40);
    const int outlet = rig.add(KindProductOutlet, 100, 200);
    const int button = rig.add(KindButton, 40, 300);
    rig.m.part(product).PictName = "\\bg\\kan_9.bmp";
    rig.program(button, {B{0, BlockDischarge, {product, outlet}, 99}});
    const SimResult r = run("--app-dir " + quote(app.string()) + " " + quote(save(rig)), "run\ntouch 2\nstate\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // centred on the outlet: 1500 + 188 * 15 / 2 - 40 * 15 / 2
    EXPECT_TRUE(has(states(r)[0], R"("products":[{"n":1,"picture":"\\bg\\kan_9.bmp","left":2610,"top":3000}])"))
        << states(r)[0];
}

// --trace adds a line for every block before it runs and for every variable a block changes;
// the other lines stay as they are without it.
TEST_F(Simulator, TraceShowsBlocksAndVariables)
{
    Rig rig;
    buildVendingMachine(rig);
    const std::string path = save(rig);
    const std::string script = "run\ncoin 100\ncoin 50\ntouch 1\nstop\n";
    const SimResult plain = runMachine(path, script);
    const SimResult traced = run("--app-dir " + quote(JHK_APP_DIR) + " --trace " + quote(path), script);
    ASSERT_EQ(traced.exitCode, 0) << traced.err;

    Lines kept;
    for (const std::string &l : traced.out)
        if (l.rfind("block\t", 0) != 0 && l.rfind("var\t", 0) != 0)
            kept.push_back(l);
    EXPECT_EQ(kept, plain.out);
    EXPECT_EQ(traced.out, (Lines{
        "block\t2\t0", "var\t3\tA\t100", "block\t2\t1", "sound\tMoney_1.wav\tasync",
        "block\t2\t0", "var\t3\tA\t150", "block\t2\t1", "block\t2\t2", "var\t1\tA\t1", "sound\tMoney_1.wav\tasync",
        "list\tボタン",
        "block\t1\t0", "list\t  条件分岐",
        "block\t1\t1", "sound\tkan.wav\tsync", "list\t  商品排出",
        "block\t1\t2", "var\t3\tA\t30", "list\t  カウンター減算",
        "block\t1\t3", "var\t0\tB\t4", "list\t  在庫減数",
        "block\t1\t4", "list\t  条件分岐",
        "block\t1\t5", "var\t1\tA\t0", "list\t  購買可ランプ消灯",
        "var\t3\tA\t0",
    }));
}
