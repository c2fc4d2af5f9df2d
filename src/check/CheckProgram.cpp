#include "check/CheckProgram.h"

#include "check/CheckCommandLine.h"
#include "check/ModelAnswer.h"
#include "check/Reports.h"
#include "document/AtomicFile.h"
#include "model/AppPaths.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <thread>

namespace jhk {

namespace fs = std::filesystem;

namespace {

constexpr const char *Name = "jihankobo-check";

// The progress bar on the terminal's standard error, redrawn in place.
class ProgressBar {
public:
    ProgressBar(std::ostream &err, bool shown, std::size_t total) : m_err(err), m_shown(shown), m_total(total) {}

    void draw(std::size_t done)
    {
        if (!m_shown)
            return;
        constexpr std::size_t width = 30;
        const std::size_t filled = m_total ? done * width / m_total : width;
        m_err << "\r[" << std::string(filled, '#') << std::string(width - filled, '-') << "] " << done << "/" << m_total
              << std::flush;
    }
    void clear()
    {
        if (m_shown)
            m_err << "\r\033[K" << std::flush;
    }

private:
    std::ostream &m_err;
    bool m_shown;
    std::size_t m_total;
};

bool write(const std::string &path, const std::string &text, CheckProgramIo &io)
{
    const std::string failure = writeFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t *>(text.data()), text.size()));
    if (failure.empty())
        return true;
    io.err << Name << ": " << path << ": " << oneLine(failure) << '\n';
    return false;
}

// A divergence scenario per failing machine, named after the machine.
bool saveDiffs(const std::string &dir, const std::vector<MachineResult> &results, CheckProgramIo &io)
{
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        io.err << Name << ": " << dir << ": " << pick(io.language, "フォルダを作れません", "cannot create the folder") << '\n';
        return false;
    }
    std::set<std::string> used;
    bool ok = true;
    for (const MachineResult &r : results) {
        if (r.diffScenario.empty())
            continue;
        const std::string stem = fs::path(r.machine.path).stem().string();
        std::string name = stem + ".txt";
        for (int n = 2; used.count(name); ++n)
            name = stem + "-" + std::to_string(n) + ".txt";
        used.insert(name);
        ok = write((fs::path(dir) / name).string(), r.diffScenario, io) && ok;
    }
    return ok;
}

} // namespace

int runCheckProgram(const std::vector<std::string> &args, CheckProgramIo &io)
{
    const Language lang = io.language;
    const CheckCommandLine cl = parseCheckCommandLine(args, lang);
    switch (cl.action) {
    case CheckCommandLine::Action::Help:
        io.out << checkUsage(lang);
        return 0;
    case CheckCommandLine::Action::Version:
        io.out << Name << ' ' << io.version << '\n';
        return 0;
    case CheckCommandLine::Action::Wrong:
        io.err << Name << ": " << cl.error << "\n\n" << checkUsage(lang);
        return 2;
    case CheckCommandLine::Action::Check:
        break;
    }
    const CheckOptions &o = cl.options;

    ClassCheck check;
    check.appDir = o.appDir.empty() ? io.appDir : o.appDir;
    const unsigned cores = std::thread::hardware_concurrency();
    check.jobs = o.jobs > 0 ? o.jobs : static_cast<int>(cores ? cores : 1);

    // Every scenario is read before anything runs: one bad line stops the whole check.
    std::string checkedAgainst;
    for (const std::string &file : o.scenarioFiles) {
        ScenarioParse parsed = readScenarioFile(file, lang);
        if (parsed.error) {
            io.err << Name << ": " << parsed.error->describe() << '\n';
            return 2;
        }
        for (Scenario &s : parsed.scenarios) {
            for (const Scenario &earlier : check.scenarios) {
                if (earlier.name == s.name) {
                    io.err << Name << ": " << s.file << ":" << s.line << ": "
                           << pick(lang, "シナリオの名前「", "the scenario name \"") << s.name
                           << pick(lang, "」は ", "\" is used in ") << earlier.file
                           << pick(lang, " でも使われています", " too") << '\n';
                    return 2;
                }
            }
            check.scenarios.push_back(std::move(s));
        }
        checkedAgainst += (checkedAgainst.empty() ? "シナリオ: " : ", ") + fs::path(file).filename().string();
    }

    MachineList machines = findMachines(o.machines);
    std::optional<ModelAnswer> model;
    if (!o.modelFile.empty()) {
        std::string error;
        model = ModelAnswer::build(check.appDir, o.modelFile, o.runs, o.seed, error);
        if (!model) {
            io.err << Name << ": " << o.modelFile << ": " << error << '\n';
            return 2;
        }
        check.model = &*model;
        // The model itself may sit in the class's folder; it is not a pupil's machine.
        std::erase_if(machines.machines, [&](const MachineEntry &m) {
            std::error_code ec;
            return fs::equivalent(m.path, o.modelFile, ec);
        });
        checkedAgainst = "模範解答: " + fs::path(o.modelFile).filename().string() + " (" + std::to_string(o.runs)
            + " 回, --seed " + std::to_string(o.seed) + ")";
    }
    for (const std::string &folder : machines.emptyFolders)
        io.err << Name << ": " << folder << ": " << pick(lang, ".jhk ファイルがありません", "holds no .jhk file") << '\n';
    if (machines.machines.empty()) {
        io.err << Name << ": " << pick(lang, "検査するマシンがありません", "no machine to check") << '\n';
        return 2;
    }
    check.machines = machines.machines;

    const std::vector<std::string> columns = check.columns();
    ProgressBar bar(io.err, io.errIsTerminal && !o.quiet, check.machines.size());
    bar.draw(0);
    std::vector<std::optional<std::string>> lines(check.machines.size());
    std::size_t printed = 0, done = 0;
    const std::vector<MachineResult> results = check.run([&](std::size_t i, const MachineResult &r) {
        lines[i] = terminalLine(r, columns);
        ++done;
        bar.clear();
        // Lines keep the machines' order whatever order they finish in.
        for (; printed < lines.size() && lines[printed]; ++printed)
            io.out << *lines[printed] << '\n';
        io.out.flush();
        bar.draw(done);
    });
    bar.clear();

    const std::size_t passed = static_cast<std::size_t>(
        std::count_if(results.begin(), results.end(), [](const MachineResult &r) { return r.passed(); }));
    if (!o.quiet)
        io.err << results.size() << pick(lang, " 台: 合格 ", " machines: ") << passed
               << pick(lang, "、不合格 ", " passed, ") << results.size() - passed << pick(lang, "", " failed") << '\n';

    bool written = true;
    const ReportHeading heading{columns, checkedAgainst, io.now};
    if (!o.csvFile.empty())
        written = write(o.csvFile, csvReport(heading, results), io) && written;
    if (!o.htmlFile.empty()) {
        const std::vector<std::string> pictures = io.pictures ? io.pictures(check.appDir, results) : std::vector<std::string>();
        written = write(o.htmlFile, htmlReport(heading, results, pictures), io) && written;
    }
    if (!o.saveDiffsDir.empty())
        written = saveDiffs(o.saveDiffsDir, results, io) && written;
    if (!written)
        return 2;
    return passed == results.size() ? 0 : 1;
}

} // namespace jhk
