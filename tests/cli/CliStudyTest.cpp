#include "CliTestSupport.h"

#include "RecordingPresenter.h"
#include "TempFile.h"

#include "EngineBuilds.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "study/PartsShootout.h"
#include "study/Sensitivity.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject ParseJson(const CliResult& result)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << result.out.toStdString();
    return document.object();
}

// 9 significant digits give the float back exactly.
float JsonFloat(const QJsonValue& value)
{
    return static_cast<float>(value.toDouble());
}

CTorqDoc& OpenExample(CTorqDoc& engine, const char* name)
{
    EXPECT_TRUE(OpenEngineDocument(engine, (ExamplesFolder() / name).string()));
    return engine;
}

PartOption Menu(ChoiceGroup group, int index)
{
    return {ChoiceName({group, index}), EngineEdit::Pick({group, index})};
}

TEST(CliShootout, PrintsTheRowsOfTheDesktopStudyOfTheSameEngine)
{
    const CliResult result = RunCli({"shootout", Example("chevy-350-street.trq"), "--vary", "exhaust=1,7,4",
                                     "--vary", "head=1,Wedge/Pocket Porting, Stock Valve Size,16", "--vary",
                                     "cam=own,Drag-Race Circle-Track", "--criterion", "average-power",
                                     "--band", "3000-6000", "--top", "5", "-f", "json", "--threads", "2"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = ParseJson(result);

    RecordingPresenter presenter;
    CTorqDoc base;
    ShootoutSetup setup;
    setup.groups = {
        {PartGroup::Exhaust,
         {Menu(ChoiceGroup::ExhaustSystem, 0), Menu(ChoiceGroup::ExhaustSystem, 6),
          Menu(ChoiceGroup::ExhaustSystem, 3)}},
        {PartGroup::Head,
         {Menu(ChoiceGroup::CylinderHead, 0), Menu(ChoiceGroup::CylinderHead, 4),
          Menu(ChoiceGroup::CylinderHead, 15)}},
        {PartGroup::Cam,
         {OwnCamOption(OpenExample(base, "chevy-350-street.trq")), Menu(ChoiceGroup::CamType, 3)}}};
    setup.criterion = StudyCriterion::AveragePower;
    setup.band = {3000.0f, 6000.0f};
    setup.top = 5;
    PartsShootout shootout(base, setup);
    std::string failure;
    ASSERT_TRUE(shootout.RunBaseline(failure));
    shootout.RunAll(StudyRunner(1));
    const ShootoutResult expected = shootout.Result();

    EXPECT_EQ(json["combinations"].toInt(), 18);
    EXPECT_EQ(json["run"].toInt(), 18);
    EXPECT_EQ(json["failed"].toInt(), 0);
    EXPECT_EQ(json["criterion"].toString(), "average-power");
    EXPECT_EQ(json["band"].toArray(), (QJsonArray{3000, 6000}));
    EXPECT_EQ(JsonFloat(json["baseline"]["score"]), expected.baseline.score);
    const QJsonArray rows = json["results"].toArray();
    ASSERT_EQ(rows.size(), 5);
    for (qsizetype k = 0; k < rows.size(); ++k) {
        const QJsonObject row = rows[k].toObject();
        const ShootoutRow& want = expected.rows[static_cast<std::size_t>(k)];
        EXPECT_EQ(row["rank"].toInt(), k + 1);
        EXPECT_EQ(JsonFloat(row["score"]), want.figures.score);
        EXPECT_EQ(JsonFloat(row["gain"]), want.gain.absolute);
        EXPECT_EQ(JsonFloat(row["peak_power"]), want.figures.peakPower.value);
        EXPECT_EQ(JsonFloat(row["peak_torque_rpm"]), want.figures.peakTorque.rpm);
        const QJsonObject choices = row["choices"].toObject();
        for (const auto& [group, name] : shootout.ChoiceNames(want.choices))
            EXPECT_EQ(choices[PartGroupName(group)].toString().toStdString(), name);
    }
    EXPECT_TRUE(json["failures"].toArray().isEmpty());
}

TEST(CliShootout, AFailedCombinationIsListedApartInEveryFormat)
{
    const QStringList arguments{"shootout", Example("chevy-350-street.trq"), "--vary",
                                "manifold=Dual-Plane Manifold,Forced Induction"};
    const QJsonObject json = ParseJson(RunCli(arguments + QStringList{"-f", "json"}));
    EXPECT_EQ(json["combinations"].toInt(), 2);
    EXPECT_EQ(json["failed"].toInt(), 1);
    ASSERT_EQ(json["failures"].toArray().size(), 1);
    const QJsonObject failure = json["failures"][0].toObject();
    EXPECT_EQ(failure["choices"]["manifold"].toString(), "Forced Induction");
    EXPECT_FALSE(failure["message"].toString().isEmpty());

    const CliResult csv = RunCli(arguments + QStringList{"-f", "csv"});
    const QStringList lines = csv.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
              "rank,manifold,score,gain,gain_percent,peak_power,peak_power_rpm,peak_torque,"
              "peak_torque_rpm,message");
    EXPECT_TRUE(lines[1].startsWith("1,Dual-Plane Manifold,"));
    EXPECT_TRUE(lines[2].startsWith(",Forced Induction,,,,,,,,"));

    const CliResult table = RunCli(arguments);
    EXPECT_TRUE(table.out.contains("2 combinations, 1 run, 1 failed"));
    EXPECT_TRUE(table.out.contains("Failed (1):\n  Forced Induction: "));
}

TEST(CliShootout, BadInputIsRefusedWithAMessageAndNothingPrinted)
{
    const QString chevy = Example("chevy-350-street.trq");
    const QString turbo = Example("buick-231-turbo.trq");
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{chevy, "--vary", "wheels"}, "unknown group 'wheels'"},
        {{chevy, "--vary", "head=Flat Head"}, "unknown head 'Flat Head'"},
        {{chevy, "--vary", "fuel=Gasoline/Nitrous"}, "names several fuels"},
        {{chevy, "--vary", "cam=Custom Cam Type"}, "cam \"Custom Cam Type\""},
        {{chevy, "--vary", "induction=750@2"}, "1.5 or 3.0 inHg"},
        {{turbo, "--vary", "exhaust=1"}, "exhaust \"Stock Manifolds And Mufflers\""},
        {{turbo, "--vary", "exhaust"}, "allows no exhaust on this engine"},
        {{chevy, "--vary", "head", "--band", "1500-6000"}, "--band"},
        {{chevy, "--vary", "head", "--band", "6000-3000"}, "--band"},
        {{chevy}, "needs at least one --vary"},
        {{chevy, "--vary", "head", "--criterion", "best"}, "unknown criterion"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = RunCli(QStringList{"shootout"} + arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(message)) << result.err.toStdString();
    }
}

TEST(CliStudies, AnEngineThatDoesNotRunAsItIsIsRefused)
{
    TempDir folder;
    {
        RecordingPresenter presenter;
        CTorqDoc engine;
        ASSERT_TRUE(BuildChevy350(engine));
        engine.SetAutoRun(false);
        // The forced-induction manifold without a blower: the engine does not validate.
        ASSERT_TRUE(ApplyChoices(engine, {NamedChoice::kForcedInductionManifold}));
        ASSERT_TRUE(WriteEngineFile(engine, folder.File("broken.trq").string()));
    }
    for (const QStringList& arguments :
         {QStringList{"shootout", Q(folder.File("broken.trq")), "--vary", "lifter"},
          QStringList{"sensitivity", Q(folder.File("broken.trq"))}}) {
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(result.err.contains("the engine as it is does not run")) << result.err.toStdString();
    }
}

TEST(CliSensitivity, PrintsTheChangesOfTheDesktopStudyOfTheSameEngineByGain)
{
    const CliResult result = RunCli({"sensitivity", Example("ford-302-nitrous.trq"), "--criterion", "torque",
                                     "--band", "2500-5500", "-f", "json"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = ParseJson(result);

    RecordingPresenter presenter;
    CTorqDoc base;
    Sensitivity study(OpenExample(base, "ford-302-nitrous.trq"), StudyCriterion::PeakTorque,
                      {2500.0f, 5500.0f});
    std::string failure;
    ASSERT_TRUE(study.RunBaseline(failure));
    study.RunAll(StudyRunner(2));
    const SensitivityResult expected = study.Result();

    EXPECT_EQ(JsonFloat(json["baseline"]["score"]), expected.baseline.score);
    const QJsonArray changes = json["changes"].toArray();
    ASSERT_EQ(static_cast<std::size_t>(changes.size()), expected.rows.size());
    bool sawNitrous = false;
    for (qsizetype k = 0; k < changes.size(); ++k) {
        const QJsonObject change = changes[k].toObject();
        const SensitivityRow& row = expected.rows[static_cast<std::size_t>(k)];
        const SensitivityChange& want = study.Changes()[row.change];
        EXPECT_EQ(change["parameter"].toString().toStdString(), want.parameter);
        if (want.isChoice) {
            EXPECT_EQ(change["to"].toString().toStdString(), want.toText);
        } else {
            EXPECT_EQ(JsonFloat(change["to"]), want.to);
        }
        EXPECT_EQ(JsonFloat(change["score"]), row.figures.score);
        EXPECT_EQ(JsonFloat(change["gain"]), row.gain.absolute);
        if (k > 0) {
            EXPECT_LE(change["gain"].toDouble(), changes[k - 1]["gain"].toDouble());
        }
        sawNitrous = sawNitrous || change["parameter"].toString() == "nitrous";
    }
    EXPECT_TRUE(sawNitrous) << "a nitrous fuel's flow is a number the user sets";
}

}  // namespace
