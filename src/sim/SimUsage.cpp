#include "sim/SimUsage.h"

namespace jhk {

namespace {

constexpr OptionDoc SimOptionTable[] = {
    {"--app-dir", "DIR", "フォルダ", "the application folder (catalogue, pictures); default: the program's own",
     "アプリケーションフォルダ（カタログ、絵）。省略するとプログラムのフォルダ"},
    {"--trace", "", nullptr, "also print each block before it runs and each variable a block changes",
     "実行する前の各ブロックと、ブロックが変えた変数も出力します"},
    {"--help", "", nullptr, "show this text", "この説明を表示します"},
    {"--version", "", nullptr, "show the version", "バージョンを表示します"},
};

} // namespace

std::span<const OptionDoc> simOptions()
{
    return SimOptionTable;
}

std::string simUsage(bool japanese)
{
    if (japanese)
        return "使い方: jihankobo-sim [--app-dir フォルダ] [--trace] マシン.jhk [スクリプト]\n"
               "        jihankobo-sim --help | --version\n"
               "マシンのファイルを開き、児童の操作を書いたスクリプト（省略すると標準入力）を画面なしで実行して、\n"
               "児童に見えることを出力します。\n"
            + optionHelp(SimOptionTable, true)
            + "終了コード: 0 スクリプトを最後まで実行した、1 マシンを開けなかった、2 コマンドラインかスクリプトの行が正しくない\n";
    return "usage: jihankobo-sim [--app-dir DIR] [--trace] MACHINE.jhk [SCRIPT]\n"
           "       jihankobo-sim --help | --version\n"
           "Opens a machine document and plays a script of pupil actions on it without a window\n"
           "(standard input when no SCRIPT is given), printing what the pupil would see.\n"
        + optionHelp(SimOptionTable, false)
        + "Exit status: 0 after the whole script, 1 when the machine could not be opened,\n"
          "2 for a wrong command line or script line.\n";
}

} // namespace jhk
