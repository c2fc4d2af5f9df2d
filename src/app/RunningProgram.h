#pragma once

// The application folder of the program that is running, for the programs' main functions and
// the desktop program's commands only: the core is always handed its application folder.

#include "model/AppPaths.h"

#include <filesystem>
#include <string>
#include <system_error>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace jhk {

// The folder of the program's own file: beside the executable, or under node beside the
// script that was started. The current folder when it cannot be found.
inline std::string applicationFolder()
{
    std::error_code ec;
#ifdef __EMSCRIPTEN__
    const std::string script = emscripten_run_script_string(
        "(typeof process === 'object' && process.argv && process.argv[1]) ? process.argv[1] : ''");
    if (!script.empty())
        return applicationFolderOfProgram(script);
#else
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return applicationFolderOfProgram(exe.string());
#endif
    return std::filesystem::current_path(ec).string();
}

} // namespace jhk
