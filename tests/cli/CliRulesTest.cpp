#include "CliFixtures.h"
#include "CliTestSupport.h"

#include "TempFile.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The arguments without each option named and its value.
QStringList Without(QStringList arguments, std::initializer_list<const char*> options)
{
    for (const char* option : options) {
        const qsizetype at = arguments.indexOf(option);
        if (at >= 0) arguments.remove(at, 2);
    }
    return arguments;
}

}  // namespace

TEST(CliNew, WhatTheEngineFormWouldNotAllowIsRefusedNamingTheOption)
{
    TempDir folder;
    const QString output = Q(folder.File("x.trq"));
    const auto refused = [&](const QStringList& parts, const QString& message) {
        const CliResult result = RunCli(QStringList{"new", "-o", output} + parts);
        EXPECT_EQ(result.status, 2) << parts.join(' ').toStdString();
        EXPECT_TRUE(result.err.startsWith("torqwell-cli new: " + message + "\n")) << result.err.toStdString();
    };
    const QStringList parts = ChevyParts();
    const QStringList noManifold = Without(parts, {"--manifold"});

    refused(parts + QStringList{"--fuel", "Gasoline", "--nitrous", "5"},
            "--nitrous: the fuel \"Gasoline\" carries no nitrous; choose --fuel \"Gasoline/Nitrous\"");
    refused(parts + QStringList{"--fuel", "Methanol", "--nitrous", "0"},
            "--nitrous: the fuel \"Methanol\" carries no nitrous; choose --fuel \"Gasoline/Nitrous\"");
    refused(noManifold + QStringList{"--blower", "Turbo-Garrett TO4B 60*50", "--blower-rpm", "20000"},
            "--blower-rpm: the turbocharger \"Turbo-Garrett TO4B 60*50\" has no Blower RPM");
    refused(
        noManifold + QStringList{"--blower", "Roots- BDS 671 (Street)", "--blower-pressure-ratio", "1.5"},
        "--blower-pressure-ratio: the Roots blower \"Roots- BDS 671 (Street)\" has no Blower Pressure Ratio");
    refused(noManifold + QStringList{"--blower", "none", "--blower-flow", "400"},
            "--blower-flow: the unit \"None\" has no Blower Flow Rate");
    const QString noForcedInduction =
        ": only with forced induction, on the \"Forced Induction\" manifold (--blower)";
    refused(parts + QStringList{"--blower", "10"}, "--blower" + noForcedInduction);
    refused(parts + QStringList{"--intercooler", "60"}, "--intercooler" + noForcedInduction);
    refused(parts + QStringList{"--intercooler", "none"}, "--intercooler" + noForcedInduction);
    refused(parts + QStringList{"--boost-limit", "10"}, "--boost-limit" + noForcedInduction);
    refused(Without(parts, {"--head", "--intake-valve", "--exhaust-valve"}) +
                QStringList{"--airflow", Example("wedge-fully-ported.flw"), "--intake-valve", "auto"},
            "--intake-valve auto: automatic valve sizes need one of the listed heads, not airflow data");
    EXPECT_FALSE(fs::exists(folder.File("x.trq")));

    // What the form allows: the exhaust chosen before the blower takes it over.
    const CliResult blown = RunCli(QStringList{"new", "-o", output} + noManifold +
                                   QStringList{"--blower", "Centrifugal- Paxton NOVI 2000", "--blower-rpm",
                                               "40000", "--intercooler", "none"});
    EXPECT_EQ(blown.status, 0) << blown.err.toStdString();
}

TEST(CliTool, AnOptionGivenTwiceIsAnErrorInEveryCommandButSweep)
{
    TempDir folder;
    const QString chevy = Example("chevy-350-street.trq");
    const QString a = Q(folder.File("a.trq"));
    const QString b = Q(folder.File("b.trq"));
    const QStringList twice[] = {
        {"run", chevy, "-f", "csv", "-f", "json"},
        {"run", chevy, "--format", "csv", "-f", "csv"},
        QStringList{"new", "-o", a, "-o", b} + ChevyParts(),
        QStringList{"new", "-o", a, "--bore", "4.0"} + ChevyParts() + QStringList{"--bore", "4.1"},
        {"convert", chevy, "-o", a, "--output", b},
        {"export-dos", chevy, "-o", a, "-o", b},
        {"export-game", chevy, "-o", a, "-o", b},
        {"iterate", chevy, "--sweep", "ivc=60:64:1", "--band", "2000-6000", "--band", "3000-7000"},
        {"iterate", chevy, "--sweep", "ivc=60:64:1", "--threads", "1", "--threads", "2"},
        // Switches too.
        {"convert", chevy, "-o", a, "--force", "--force"},
        {"iterate", chevy, "--sweep", "ivc=60:64:1", "--no-batch", "--no-batch"},
        {"sheet", chevy, "-o", Q(folder.File("s.svg")), "--force", "--force"},
    };
    for (const QStringList& arguments : twice) {
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(" is given more than once\n")) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_EQ(FilesIn(folder.Path()), 0u);
    const CliResult sweeps =
        RunCli({"iterate", chevy, "--sweep", "ivc=60:62:1", "--sweep", "evc=20:22:1", "--threads", "1"});
    EXPECT_EQ(sweeps.status, 0) << sweeps.err.toStdString();
    EXPECT_TRUE(sweeps.out.startsWith("Total tests: 9\n"));
}
