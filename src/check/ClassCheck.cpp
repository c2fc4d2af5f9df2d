#include "check/ClassCheck.h"

#include "check/MachineUnderTest.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace jhk {

namespace fs = std::filesystem;

namespace {

bool isJhkName(const fs::path &p)
{
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".jhk";
}

} // namespace

MachineList findMachines(const std::vector<std::string> &paths)
{
    MachineList list;
    for (const std::string &given : paths) {
        std::error_code ec;
        if (!fs::is_directory(given, ec)) {
            list.machines.push_back({given, fs::path(given).filename().string()});
            continue;
        }
        std::vector<fs::path> found;
        for (fs::directory_iterator it(given, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeError;
            if (isJhkName(it->path()) && !it->is_directory(typeError))
                found.push_back(it->path());
        }
        std::sort(found.begin(), found.end(),
                  [](const fs::path &a, const fs::path &b) { return a.filename().string() < b.filename().string(); });
        if (found.empty())
            list.emptyFolders.push_back(given);
        for (const fs::path &p : found)
            list.machines.push_back({p.string(), p.filename().string()});
    }
    // Two machines of one name from different folders are told apart by their paths.
    std::map<std::string, int> uses;
    for (const MachineEntry &m : list.machines)
        ++uses[m.name];
    for (MachineEntry &m : list.machines) {
        if (uses[m.name] > 1)
            m.name = m.path;
    }
    return list;
}

bool MachineResult::passed() const
{
    return opened && std::all_of(outcomes.begin(), outcomes.end(), [](const CheckOutcome &o) { return o.passed; });
}

std::string firstFailure(const MachineResult &result, const std::vector<std::string> &columns)
{
    if (!result.opened)
        return "開けません: " + result.openMessage;
    for (std::size_t i = 0; i < result.outcomes.size(); ++i) {
        if (!result.outcomes[i].passed)
            return columns.size() > 1 ? columns[i] + ": " + result.outcomes[i].failure : result.outcomes[i].failure;
    }
    return {};
}

std::vector<std::string> ClassCheck::columns() const
{
    if (model)
        return {ModelColumn};
    std::vector<std::string> out;
    for (const Scenario &s : scenarios)
        out.push_back(s.name);
    return out;
}

MachineResult ClassCheck::checkMachine(const MachineEntry &machine) const
{
    MachineResult result;
    result.machine = machine;
    const std::size_t count = model ? 1 : scenarios.size();
    {
        MachineUnderTest probe(appDir, machine.path);
        if (!probe.open()) {
            result.opened = false;
            result.openMessage = probe.openMessage();
            result.outcomes.assign(count, CheckOutcome{false, probe.openMessage()});
            return result;
        }
    }
    if (model) {
        result.outcomes.push_back(model->check(appDir, machine.path, &result.diffScenario));
        return result;
    }
    for (const Scenario &s : scenarios)
        result.outcomes.push_back(runScenario(s, appDir, machine.path));
    return result;
}

std::vector<MachineResult> ClassCheck::run(const std::function<void(std::size_t, const MachineResult &)> &finished) const
{
    std::vector<MachineResult> results(machines.size());
    std::atomic<std::size_t> nextMachine{0};
    std::mutex mutex;
    std::condition_variable done;
    std::deque<std::size_t> finishedQueue;

    auto work = [&] {
        for (std::size_t i; (i = nextMachine++) < machines.size();) {
            MachineResult r;
            try {
                r = checkMachine(machines[i]);
            } catch (const std::exception &e) {
                // One machine that cannot be checked (memory ran out) costs its row, not the class.
                r.machine = machines[i];
                r.opened = false;
                r.openMessage = std::string("検査できませんでした (") + e.what() + ")";
            }
            std::lock_guard lock(mutex);
            results[i] = std::move(r);
            finishedQueue.push_back(i);
            done.notify_one();
        }
    };
    const std::size_t threads = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), 1,
                                                        std::max<std::size_t>(machines.size(), 1));
    // The workers are joined however this function is left.
    struct Workers {
        std::vector<std::thread> threads;
        ~Workers()
        {
            for (std::thread &t : threads)
                t.join();
        }
    } workers;
#ifdef __EMSCRIPTEN__
    // WebAssembly without threads: the machines are checked one after the other.
    (void)threads;
    work();
#else
    // So are they when not even one thread can be started.
    try {
        for (std::size_t t = 0; t < threads; ++t)
            workers.threads.emplace_back(work);
    } catch (const std::system_error &) {
        if (workers.threads.empty())
            work();
    }
#endif

    for (std::size_t reported = 0; reported < machines.size(); ++reported) {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return !finishedQueue.empty(); });
        const std::size_t i = finishedQueue.front();
        finishedQueue.pop_front();
        lock.unlock();
        if (finished)
            finished(i, results[i]);
    }
    return results;
}

} // namespace jhk
