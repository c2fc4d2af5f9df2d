#include "model/DesktopUsage.h"

namespace jhk {

namespace {

constexpr OptionDoc DesktopOptionTable[] = {
    {"--print", "MACHINE.jhk|FOLDER...", "マシン.jhk|フォルダー...",
     "print machines, or a folder's machines, on a printer as one job",
     "マシン（フォルダーならその中のマシン全部）を1つの印刷ジョブでプリンターに印刷します"},
    {"--printer", "NAME", "プリンター", "with --print: the printer queue to use instead of the default one",
     "--print で使うプリンター（省略すると既定のプリンター）"},
    {"--copies", "N", "部数", "with --print: the number of copies (1 or more)", "--print の部数（1以上）"},
    {"--print-pdf", "MACHINE.jhk OUT.pdf", "マシン.jhk 出力.pdf", "write the printout of one machine to a PDF file",
     "1台のマシンの印刷をPDFに書き出します"},
    {"--print-pdf", "OUT.pdf MACHINE.jhk|FOLDER...", "出力.pdf マシン.jhk|フォルダー...",
     "write the printouts of machines, or a folder's, into one PDF, a page each",
     "複数のマシン（フォルダーならその中のマシン全部）の印刷を1つのPDFに、1台1ページで書き出します"},
    {"--worksheet", "MACHINE.jhk OUT.pdf", "マシン.jhk 出力.pdf",
     "write a worksheet PDF: an A4 page for each part with a program",
     "ワークシート（プログラムのあるパーツごとにA4で1ページ）をPDFに書き出します"},
    {"--blank", "", nullptr, "with --worksheet: leave the operands blank for the pupils to fill in",
     "--worksheet で設定値を空欄にします"},
    {"--export-flowchart", "MACHINE.jhk PART OUT.png", "マシン.jhk パーツ番号 出力.png",
     "write the flowchart of part PART as PNG (as PDF when OUT ends in .pdf)",
     "パーツ番号のパーツのフローチャートをPNGの絵（.pdf で終わる名前ならPDF）に書き出します"},
    {"--help", "", nullptr, "show this text", "この説明を表示します"},
    {"--version", "", nullptr, "show the version", "バージョンを表示します"},
};

} // namespace

std::span<const OptionDoc> desktopOptions()
{
    return DesktopOptionTable;
}

std::string desktopUsage(bool japanese)
{
    if (japanese)
        return "使い方: jihankobo [マシン.jhk]\n"
               "        jihankobo --print [--printer プリンター] [--copies 部数] マシン.jhk|フォルダー...\n"
               "        jihankobo --print-pdf マシン.jhk 出力.pdf\n"
               "        jihankobo --print-pdf 出力.pdf マシン.jhk|フォルダー...\n"
               "        jihankobo --worksheet [--blank] マシン.jhk 出力.pdf\n"
               "        jihankobo --export-flowchart マシン.jhk パーツ番号 出力.png\n"
               "        jihankobo --help | --version\n"
               "引数なしではスプラッシュとスタート画面から始まり、マシンのファイルを指定するとそのマシンを開きます。\n"
               "次のオプションは、どれもウィンドウを開きません。\n"
            + optionHelp(DesktopOptionTable, true);
    return "usage: jihankobo [MACHINE.jhk]\n"
           "       jihankobo --print [--printer NAME] [--copies N] MACHINE.jhk|FOLDER...\n"
           "       jihankobo --print-pdf MACHINE.jhk OUT.pdf\n"
           "       jihankobo --print-pdf OUT.pdf MACHINE.jhk|FOLDER...\n"
           "       jihankobo --worksheet [--blank] MACHINE.jhk OUT.pdf\n"
           "       jihankobo --export-flowchart MACHINE.jhk PART OUT.png\n"
           "       jihankobo --help | --version\n"
           "Without arguments the program starts with its splash and start windows; with a machine\n"
           "file it opens that machine. None of the options below opens a window.\n"
        + optionHelp(DesktopOptionTable, false);
}

} // namespace jhk
