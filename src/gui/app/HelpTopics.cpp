#include "HelpTopics.h"

#include <QWidget>

namespace {

struct HelpTopic {
    const char* className;
    const char* page;
};

// Nearest first: a field of a dialog finds the dialog, the in-place editor
// of the form finds its own section before the form's chapter.
constexpr HelpTopic kTopics[] = {
    {"CTorqSpecEditDlg", "02-engine-form.md#editing-a-value"},
    {"CEngineFormView", "02-engine-form.md"},
    {"CChart2dDlg", "03-results.md#the-graph"},
    {"CChart2dView", "03-results.md#the-graph"},
    {"CResultsTableView", "03-results.md#the-table"},
    {"CCompRatioDlg", "04-calculators.md#compression-ratio-calculator"},
    {"CAirFlowMathDlg", "04-calculators.md#airflow-conversion-calculator"},
    {"CCamMathDlg", "04-calculators.md#cam-timing-calculator"},
    {"CAirFlowDlg", "05-airflow-and-cam-data.md#cylinder-head-airflow"},
    {"CCamTypeDlg", "05-airflow-and-cam-data.md#camshaft-data"},
    {"CItrSetupDlg", "06-iterator.md#setting-up-a-series"},
    {"CItrRunDlg", "06-iterator.md#running-it"},
    {"QPrintDialog", "07-files-and-exports.md#printing"},
    {"QPrintPreviewDialog", "07-files-and-exports.md#printing"},
    {"QPageSetupDialog", "07-files-and-exports.md#printing"},
    {"QFileDialog", "07-files-and-exports.md#engine-files"},
};

constexpr const char* kMainWindowPage = "01-getting-started.md#the-main-window";

}  // namespace

QString HelpPageFor(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        for (const HelpTopic& topic : kTopics) {
            if (w->inherits(topic.className)) return QString::fromLatin1(topic.page);
        }
    }
    return QString::fromLatin1(kMainWindowPage);
}
