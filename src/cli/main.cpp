// torqwell-cli: the engine dynamometer for scripts. The commands live in
// src/cli (CliCommands.h); this only hands them the arguments and streams.

#include "CliCommands.h"
#include "CliSupport.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Past the file-size limit (ulimit -f) a write fails (EFBIG) and the
    // command reports it with status 2, instead of being killed by SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    // File names keep their bytes, also those that are not UTF-8 (CliSupport.h).
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << cli::ArgumentText(argv[i]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = cli::RunTool(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
