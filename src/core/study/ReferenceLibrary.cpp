#include "ReferenceLibrary.h"

#include "JsonValue.h"
#include "StudyRunner.h"

#include "base/AtomicFile.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

bool ReadText(const std::string& path, std::string& text)
{
    std::FILE* file = OpenRegularFileForReading(path);
    if (file == nullptr) return false;
    std::array<char, 8192> buffer;
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;)
        text.append(buffer.data(), got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

// A text member that must be there.
bool ReadText(const JsonValue& engine, const char* key, std::string& text, std::string& error)
{
    const JsonValue* value = engine.Member(key);
    if (value == nullptr || !value->IsString() || value->String().empty()) {
        error = std::string("no \"") + key + "\"";
        return false;
    }
    text = value->String();
    return true;
}

// A published figure: a number above 0, or null (or left out) where the source gives none.
bool ReadFigure(const JsonValue& published, const char* key, std::optional<double>& figure,
                std::string& error)
{
    const JsonValue* value = published.Member(key);
    if (value == nullptr || value->IsNull()) return true;
    if (!value->IsNumber() || !(value->Number() > 0.0)) {
        error = std::string("\"") + key + "\" is neither a number above 0 nor null";
        return false;
    }
    figure = value->Number();
    return true;
}

bool ReadEngine(const JsonValue& entry, ReferenceEngine& engine, std::string& error)
{
    if (!entry.IsObject()) {
        error = "not an object";
        return false;
    }
    if (!ReadText(entry, "name", engine.name, error) || !ReadText(entry, "file", engine.file, error))
        return false;
    if (engine.file.find('/') != std::string::npos) {
        error = "\"file\" names a file of the library's own folder, without a path";
        return false;
    }
    std::string ignored;
    ReadText(entry, "source", engine.source, ignored);
    ReadText(entry, "url", engine.url, ignored);
    const JsonValue* published = entry.Member("published");
    if (published == nullptr || !published->IsObject()) {
        error = "no \"published\" figures";
        return false;
    }
    PublishedPeaks& peaks = engine.published;
    return ReadFigure(*published, "power", peaks.power, error) &&
           ReadFigure(*published, "power_rpm", peaks.powerRpm, error) &&
           ReadFigure(*published, "torque", peaks.torque, error) &&
           ReadFigure(*published, "torque_rpm", peaks.torqueRpm, error);
}

std::optional<double> ErrorPercent(double model, const std::optional<double>& published)
{
    if (!published) return std::nullopt;
    return 100.0 * (model - *published) / *published;
}

struct ErrorSizes {
    std::optional<double> median;
    std::optional<double> worst;
};

ErrorSizes SizesOf(const std::vector<ReferenceRun>& runs, std::optional<double> ReferenceRun::*error)
{
    std::vector<double> sizes;
    for (const ReferenceRun& run : runs) {
        if (run.*error) sizes.push_back(std::abs(*(run.*error)));
    }
    if (sizes.empty()) return {};
    return {Median(sizes), *std::max_element(sizes.begin(), sizes.end())};
}

}  // namespace

bool LoadReferenceLibrary(const std::string& folder, ReferenceLibrary& library, std::string& error)
{
    library = ReferenceLibrary{folder, {}};
    const std::string path = (std::filesystem::path(folder) / kReferenceDataFile).string();
    std::string text;
    if (!ReadText(path, text)) {
        error = "'" + path + "' cannot be read";
        return false;
    }
    JsonValue document;
    if (!JsonValue::Parse(text, document, error)) {
        error = "'" + path + "': " + error;
        return false;
    }
    const JsonValue* engines = document.Member("engines");
    if (engines == nullptr || !engines->IsArray() || engines->Items().empty()) {
        error = "'" + path + "': no \"engines\"";
        return false;
    }
    for (std::size_t i = 0; i < engines->Items().size(); ++i) {
        ReferenceEngine engine;
        if (!ReadEngine(engines->Items()[i], engine, error)) {
            error = "'" + path + "': engine " + std::to_string(i + 1) + ": " + error;
            return false;
        }
        library.engines.push_back(std::move(engine));
    }
    return true;
}

std::string ReferenceEnginePath(const ReferenceLibrary& library, const ReferenceEngine& engine)
{
    return (std::filesystem::path(library.folder) / engine.file).string();
}

ReferenceReport RunReferenceLibrary(const ReferenceLibrary& library)
{
    ReferenceReport report;
    for (const ReferenceEngine& engine : library.engines) {
        ReferenceRun run;
        CTorqDoc doc;
        if (OpenEngineDocument(doc, ReferenceEnginePath(library, engine))) {
            const StudyRunner::Outcome outcome = StudyRunner::RunAlone(doc);
            run.ran = outcome.kind == StudyRunner::Outcome::Kind::Simulated;
            if (run.ran) {
                run.power = SeriesPeak(outcome.results, kSeriesPower);
                run.torque = SeriesPeak(outcome.results, kSeriesTorque);
                run.powerErrorPercent = ErrorPercent(run.power.value, engine.published.power);
                run.torqueErrorPercent = ErrorPercent(run.torque.value, engine.published.torque);
            }
        }
        report.runs.push_back(run);
    }
    const ErrorSizes power = SizesOf(report.runs, &ReferenceRun::powerErrorPercent);
    const ErrorSizes torque = SizesOf(report.runs, &ReferenceRun::torqueErrorPercent);
    report.medianPowerErrorPercent = power.median;
    report.worstPowerErrorPercent = power.worst;
    report.medianTorqueErrorPercent = torque.median;
    report.worstTorqueErrorPercent = torque.worst;
    return report;
}

std::optional<double> Median(std::vector<double> values)
{
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}
