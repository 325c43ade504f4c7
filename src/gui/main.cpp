#include "app/AboutDlg.h"
#include "app/TorqApp.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Answered before any window exists, so that it works without a display.
bool AnswerVersionOrHelp(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("torqwell %s\n", CAboutDlg::kVersion);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "Usage: torqwell [ENGINE.trq...]\n"
                "Starts the engine dynamometer with a new engine and opens each engine file named.\n"
                "  --version  shows the version\n"
                "  --help     shows this text\n"
                "torqwell-cli runs the same engines without a window (torqwell-cli --help).\n");
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (AnswerVersionOrHelp(argc, argv)) return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
    // Qt takes its own options out of argv; the rest passes on as bytes, so
    // that a file name in any encoding reaches the file system unchanged.
    QApplication application(argc, argv);
    const std::vector<std::string> arguments(argv, argv + argc);
    CTorqApp torqApp;
    if (!torqApp.InitInstance(arguments)) return 1;
    return QApplication::exec();
}
