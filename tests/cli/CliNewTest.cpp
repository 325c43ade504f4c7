#include "CliTestSupport.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "EngineSnapshot.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The engine file's items without the title the framework gives: what
// new wrote, opened as the desktop program opens it.
std::vector<std::string> Opened(const fs::path& path)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    EXPECT_TRUE(OpenEngineDocument(doc, path.string())) << path;
    return EngineSnapshot(doc);
}

std::vector<std::string> Built(bool (*build)(CTorqDoc&))
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    build(doc);
    return EngineSnapshot(doc);
}

}  // namespace

TEST(CliNew, ChoicesByNameBuildTheSameEngineAsTheMenus)
{
    TempDir folder;
    const fs::path path = folder.File("chevy.trq");
    const CliResult result = RunCli({"new",
                                     "-o",
                                     Q(path),
                                     "--block",
                                     "chevy 350",
                                     "--head",
                                     "Wedge/Stock Ports And Valves",
                                     "--intake-valve",
                                     "2.02",
                                     "--exhaust-valve",
                                     "1.60",
                                     "--compression",
                                     "10",
                                     "--induction",
                                     "750@1.5",
                                     "--manifold",
                                     "Dual-Plane Manifold",
                                     "--exhaust",
                                     "Small-Tube  Headers With Mufflers",
                                     "--cam",
                                     "High Performance Street",
                                     "--lifter",
                                     "Hyd.",
                                     "--intake-lift",
                                     "0.5",
                                     "--exhaust-lift",
                                     "0.5"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    EXPECT_TRUE(result.out.startsWith("Wrote " + Q(path) + ": ")) << result.out.toStdString();
    EXPECT_EQ(Opened(path), Built(&BuildChevy350));
}

TEST(CliNew, ChoicesByIndexAutomaticSizesAndATurboBuildTheSameEngineAsTheMenus)
{
    TempDir folder;
    const fs::path path = folder.File("turbo.trq");
    // Chevy 121 2.0L, 4-valve stock heads, T51 50-4 (which brings the
    // forced-induction manifold), dual-purpose cam with solid lifters.
    const CliResult result = RunCli(
        {"new",  "--output",      Q(path), "--block",     "17",  "--head",        "14",   "--intake-valve",
         "auto", "--compression", "8.5",   "--induction", "600", "--blower",      "10",   "--intercooler",
         "70",   "--cam",         "3",     "--lifter",    "2",   "--intake-lift", "auto", "--exhaust-lift",
         "auto"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(Opened(path), Built(&BuildTurboFour));
}

TEST(CliNew, ValuesOutsideTheMenusCustomUnitsAndTheirOwnCamAreTaken)
{
    TempDir folder;
    const fs::path path = folder.File("custom.trq");
    const CliResult result = RunCli({"new",
                                     "-o",
                                     Q(path),
                                     "--block",
                                     "Chevy 350",
                                     "--bore",
                                     "4.030",
                                     "--stroke",
                                     "3.750",
                                     "--head",
                                     "7",
                                     "--intake-valve",
                                     "2.05",
                                     "--exhaust-valve",
                                     "1.6",
                                     "--compression",
                                     "9.25",
                                     "--induction",
                                     "900@1.5",
                                     "--blower",
                                     "Roots- B&M 250 Powercharger",
                                     "--boost-limit",
                                     "7.5",
                                     "--intercooler",
                                     "none",
                                     "--exhaust",
                                     "5",
                                     "--cam-name",
                                     "Blower Grind 224/232",
                                     "--timing",
                                     "050",
                                     "--cam-events",
                                     "4,40,52,0",
                                     "--advance",
                                     "2",
                                     "--lifter",
                                     "roller",
                                     "--intake-lift",
                                     "0.52",
                                     "--exhaust-lift",
                                     "0.54",
                                     "--units",
                                     "metric"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();

    RecordingPresenter quiet;
    CTorqDoc doc;
    ASSERT_TRUE(OpenEngineDocument(doc, path.string()));
    EXPECT_TRUE(doc.HasResults());
    EXPECT_EQ(doc.GetUnitSystem(), kMetricUnits);
    doc.SetUnitSystem(kEnglishUnits);
    EXPECT_EQ(doc.Bore().GetText() + " " + doc.Stroke().GetText() + " " + doc.CompressionRatio().GetText(),
              "4.030 3.750 9.25");
    EXPECT_EQ(doc.ManifoldType().GetIndex(), 7) << "the blower brings its manifold";
    EXPECT_EQ(doc.ForcedInductionType().GetText(), "Roots- B&&M 250 Powercharger");
    EXPECT_EQ(doc.BlowerBoostLevelLimit().GetText(), "7.5");
    EXPECT_FALSE(doc.IntercoolerEfficiency().IsSet());
    const CamData& cam = doc.Cam();
    EXPECT_EQ(
        cam.CamType().GetText() + " / " + cam.TimingMethod().GetText() + " / " + cam.LifterType().GetText(),
        "Blower Grind 224/232 / 0.050-Lift / Roller");
    EXPECT_EQ(cam.IntakeDuration().GetText() + " " + cam.ExhaustDuration().GetText() + " " +
                  cam.AdvanceRetard().GetText(),
              "224.0 232.0 2.0");
}

TEST(CliNew, GasolineNitrousIsChosenByItsFlowAndTheListsShowEveryChoice)
{
    TempDir folder;
    const fs::path path = folder.File("nitrous.trq");
    const CliResult result = RunCli({"new",
                                     "-o",
                                     Q(path),
                                     "--block",
                                     "Ford 302",
                                     "--head",
                                     "4",
                                     "--intake-valve",
                                     "1.94",
                                     "--exhaust-valve",
                                     "1.6",
                                     "--compression",
                                     "9",
                                     "--induction",
                                     "600",
                                     "--manifold",
                                     "2",
                                     "--fuel",
                                     "Gasoline/Nitrous",
                                     "--nitrous",
                                     "8",
                                     "--exhaust",
                                     "3",
                                     "--cam",
                                     "2",
                                     "--lifter",
                                     "1",
                                     "--intake-lift",
                                     "0.5",
                                     "--exhaust-lift",
                                     "0.5"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    RecordingPresenter quiet;
    CTorqDoc doc;
    ASSERT_TRUE(OpenEngineDocument(doc, path.string()));
    EXPECT_EQ(doc.FuelType().GetIndex(), 6) << "the 8 lbs/min entry";
    EXPECT_EQ(doc.NitrousFlowRate().GetValue(), 8.0f);

    const CliResult blocks = RunCli({"new", "--list", "blocks"});
    EXPECT_EQ(blocks.status, 0);
    EXPECT_EQ(blocks.out.count('\n'), 205);
    EXPECT_TRUE(blocks.out.contains("  36  Chevy 350  (4.000 x 3.480 in, 8 cylinders)\n"));
    const CliResult fuels = RunCli({"new", "--list", "fuel"});
    EXPECT_TRUE(fuels.out.contains("  19  Ethanol\n"));
    EXPECT_EQ(RunCli({"new", "--list", "carburettors"}).status, 2);
}

TEST(CliNew, AnIncompleteEngineIsRefusedWithItsMessageAndNothingIsWritten)
{
    TempDir folder;
    const fs::path path = folder.File("half.trq");
    const CliResult noHead = RunCli({"new", "-o", Q(path), "--block", "Chevy 350"});
    EXPECT_EQ(noHead.status, 3);
    EXPECT_EQ(noHead.err, "Incomplete Engine: Cylinder Head Selection Required\n");

    const QStringList engine = {"new",       "-o",
                                Q(path),     "--block",
                                "Chevy 350", "--head",
                                "4",         "--intake-valve",
                                "2.02",      "--exhaust-valve",
                                "1.6",       "--compression",
                                "10",        "--induction",
                                "750",       "--exhaust",
                                "3",         "--lifter",
                                "1",         "--intake-lift",
                                "0.5",       "--exhaust-lift",
                                "0.5"};
    const CliResult customBlower =
        RunCli(engine + QStringList{"--blower", "Custom Roots Blower", "--cam", "2"});
    EXPECT_EQ(customBlower.status, 3);
    EXPECT_EQ(customBlower.err, "Incomplete Engine: Valid Blower Flow value Required\n");

    const CliResult ownCam = RunCli(engine + QStringList{"--manifold", "2", "--cam-name", "Mine"});
    EXPECT_EQ(ownCam.status, 3);
    EXPECT_EQ(ownCam.err, "Incomplete Engine: A valid Cam Timing Method is Required\n");
    EXPECT_FALSE(fs::exists(path));

    // The simulation cannot feed a big-block through 100 cfm.
    QStringList starved = engine + QStringList{"--manifold", "2", "--cam", "2"};
    starved[starved.indexOf("750")] = "100";
    const CliResult failed = RunCli(starved);
    EXPECT_EQ(failed.status, 3);
    EXPECT_TRUE(failed.err.startsWith("Simulation Run Time Error: ")) << failed.err.toStdString();
    EXPECT_FALSE(fs::exists(path));
    const CliResult allowed = RunCli(starved + QStringList{"--allow-no-results"});
    EXPECT_EQ(allowed.status, 0) << allowed.err.toStdString();
    EXPECT_TRUE(allowed.err.contains("Warning!: Simulation results are missing.")) << "204 is shown";
    EXPECT_TRUE(allowed.err.endsWith("Answered OK.\n"));
    EXPECT_TRUE(allowed.out.endsWith("without results\n"));
    EXPECT_TRUE(fs::exists(path));
}

TEST(CliNew, UnknownAmbiguousAndOutOfRangeChoicesAreUsageErrors)
{
    TempDir folder;
    const QString path = Q(folder.File("x.trq"));
    const CliResult unknown = RunCli({"new", "-o", path, "--block", "Chevy 351"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(
        unknown.err.startsWith("torqwell-cli new: unknown --block 'Chevy 351'; 'torqwell-cli new --list "
                               "blocks' shows the choices\n"));

    const CliResult ambiguous = RunCli({"new", "-o", path, "--block", "olds 400"});
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_TRUE(ambiguous.err.contains("  96  Olds 400  (4.000 x 3.975 in, 8 cylinders)\n"));
    EXPECT_TRUE(ambiguous.err.contains("  97  Olds 400  (3.870 x 4.250 in, 8 cylinders)\n"));

    const CliResult bore = RunCli({"new", "-o", path, "--block", "36", "--bore", "9"});
    EXPECT_EQ(bore.status, 2);
    EXPECT_TRUE(bore.err.startsWith(
        "torqwell-cli new: --bore 9: Enter Bore Value Within Range: 2.800 to 7.000 in\n"));
    EXPECT_EQ(RunCli({"new", "-o", path, "--compression", "ten"}).status, 2);
    EXPECT_EQ(RunCli({"new", "-o", path, "--cam-events", "1,2,3"}).status, 2);
    EXPECT_EQ(RunCli({"new", "-o", path, "--intake-valve", "auto", "--exhaust-valve", "1.6"}).status, 2);
    EXPECT_EQ(RunCli({"new", "-o", path, "--cam", "2", "--cam-name", "x"}).status, 2);
    EXPECT_EQ(RunCli({"new", "--block", "36"}).status, 2) << "no output file";
    EXPECT_EQ(RunCli({"new", "-o", path, "--airflow", Q(folder.File("none.flw"))}).status, 2);
    EXPECT_FALSE(fs::exists(folder.File("x.trq")));
}
