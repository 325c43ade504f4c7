#include "CliTestSupport.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace fs = std::filesystem;

namespace {

QJsonObject JsonOf(const CliResult& result)
{
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    return QJsonDocument::fromJson(result.out.toUtf8()).object();
}

// The highest of a series of "run --format json" and its engine speed.
std::pair<double, double> Peak(const QJsonObject& results, const char* series)
{
    const QJsonArray values = results[series].toArray();
    const QJsonArray speeds = results["rpm"].toArray();
    qsizetype best = 0;
    for (qsizetype i = 1; i < values.size(); ++i) {
        if (values[i].toDouble() > values[best].toDouble()) best = i;
    }
    return {values[best].toDouble(), speeds[best].toDouble()};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

TEST(CliReference, TheTablesModelPeaksAreEachReferenceEnginesOwnRunAgainstThePublishedFigures)
{
    const QJsonObject report = JsonOf(RunCli({"reference", "--format", "json"}));
    const QJsonArray engines = report["engines"].toArray();
    ASSERT_EQ(engines.size(), 15);
    const QJsonObject data =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(ReadWholeFile(ExamplesFolder() / "reference/published.json")))
            .object();
    std::vector<double> powerErrors;
    std::vector<double> torqueErrors;
    for (qsizetype i = 0; i < engines.size(); ++i) {
        const QJsonObject engine = engines[i].toObject();
        const QJsonObject kept = data["engines"].toArray()[i].toObject();
        const QString file = engine["file"].toString();
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(file, "examples/reference/" + kept["file"].toString());
        EXPECT_EQ(engine["name"], kept["name"]);
        EXPECT_EQ(engine["published"].toObject(), kept["published"].toObject());

        const QJsonObject run = JsonOf(RunCli(
            {"run", Q(fs::path(TORQWELL_SOURCE_DIR) / file.toStdString()), "--format", "json"}))["results"]
                                    .toObject();
        const QJsonObject model = engine["model"].toObject();
        const auto [power, powerRpm] = Peak(run, "power");
        const auto [torque, torqueRpm] = Peak(run, "torque");
        EXPECT_EQ(model["power"].toDouble(), power);
        EXPECT_EQ(model["power_rpm"].toDouble(), powerRpm);
        EXPECT_EQ(model["torque"].toDouble(), torque);
        EXPECT_EQ(model["torque_rpm"].toDouble(), torqueRpm);

        const QJsonObject published = engine["published"].toObject();
        const auto expectError = [&](const char* key, const char* errorKey, double modelled,
                                     std::vector<double>& sizes) {
            if (published[key].isNull()) {
                EXPECT_TRUE(engine[errorKey].isNull());
                return;
            }
            // The model's figure is a float, which its 9 digits give back.
            const double model = double(float(modelled));
            const double figure = published[key].toDouble();
            EXPECT_DOUBLE_EQ(engine[errorKey].toDouble(), 100.0 * (model - figure) / figure);
            sizes.push_back(std::abs(engine[errorKey].toDouble()));
        };
        expectError("power", "power_error_pct", power, powerErrors);
        expectError("torque", "torque_error_pct", torque, torqueErrors);
    }
    EXPECT_EQ(powerErrors.size(), 15u);
    EXPECT_EQ(torqueErrors.size(), 14u) << "one source gives no torque";
    EXPECT_DOUBLE_EQ(report["median_power_error_pct"].toDouble(), Median(powerErrors));
    EXPECT_DOUBLE_EQ(report["worst_power_error_pct"].toDouble(),
                     *std::max_element(powerErrors.begin(), powerErrors.end()));
    EXPECT_DOUBLE_EQ(report["median_torque_error_pct"].toDouble(), Median(torqueErrors));
    EXPECT_DOUBLE_EQ(report["worst_torque_error_pct"].toDouble(),
                     *std::max_element(torqueErrors.begin(), torqueErrors.end()));
}

TEST(CliReference, TheTableEndsWithTheMedianAndWorstErrors)
{
    const CliResult result = RunCli({"reference"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 15 + 2);
    EXPECT_TRUE(lines[0].startsWith("Engine ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("GM Goodwrench 350, stock")) << lines[1].toStdString();
    EXPECT_TRUE(lines[16].startsWith("Peak power within a median ")) << lines[16].toStdString();
    const CliResult markdown = RunCli({"reference", "--format", "markdown"});
    EXPECT_TRUE(markdown.out.startsWith("| Engine | Published hp | Model hp | Error |"));
}

TEST(CliReference, ALibraryThatCannotBeReadOrAnEngineThatIsMissingIsReported)
{
    TempDir folder;
    const CliResult missing = RunCli({"reference", "--library", Q(folder.Path())});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "torqwell-cli reference: '" + Q(folder.File("published.json")) + "' cannot be read\n");

    WriteWholeFile(
        folder.File("published.json"),
        "{\"engines\": [{\"name\": \"Gone\", \"file\": \"gone.trq\", \"published\": {\"power\": 100}}]}");
    const CliResult gone = RunCli({"reference", "--library", Q(folder.Path()), "--format", "json"});
    EXPECT_EQ(gone.status, 2);
    EXPECT_TRUE(gone.out.contains("\"model\": {\"power\": null, \"power_rpm\": null"));
    EXPECT_TRUE(gone.err.startsWith("File Error: ")) << gone.err.toStdString();
    EXPECT_EQ(RunCli({"reference", "--format", "csv"}).status, 2);
}

}  // namespace
