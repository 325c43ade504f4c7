#pragma once

#include "TempFile.h"

#include <QStringList>

#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

// The parts of a complete small-block for "new": Chevy 350, wedge heads
// (index 4) with 2.02/1.60 valves, 10:1, 750 cfm, dual-plane manifold,
// small-tube headers, high-performance street cam, hydraulic lifters.
inline QStringList ChevyParts()
{
    return {"--block",         "Chevy 350", "--head",        "4",   "--intake-valve", "2.02",
            "--exhaust-valve", "1.6",       "--compression", "10",  "--induction",    "750",
            "--manifold",      "2",         "--exhaust",     "3",   "--cam",          "2",
            "--lifter",        "1",         "--intake-lift", "0.5", "--exhaust-lift", "0.5"};
}

// What one run of the built program printed and returned.
struct ProcessResult {
    int status;  // the exit status; -1 when a signal ended it
    std::string out;
    std::string err;
};

// Runs the built torqwell-cli with its arguments exactly as these bytes (a
// QProcess would pass them as UTF-8). Its standard output goes to
// outputPath when one is given (e.g. /dev/full), else it is captured.
inline ProcessResult RunProgram(const std::vector<std::string>& arguments, const char* outputPath = nullptr)
{
    const TempDir capture;
    const std::string outPath = outputPath != nullptr ? outputPath : capture.File("out").string();
    const std::string errPath = capture.File("err").string();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<std::string> words{TORQWELL_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, TORQWELL_CLI_PATH, &files, nullptr, argv.data(), environ) == 0) {
        int waited = 0;
        waitpid(child, &waited, 0);
        status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
    }
    posix_spawn_file_actions_destroy(&files);
    return {status, outputPath != nullptr ? std::string() : ReadWholeFile(outPath), ReadWholeFile(errPath)};
}
