#include "PullCommands.h"

#include "ChildFrame.h"
#include "RememberedPulls.h"
#include "dialogs/MatchDlg.h"
#include "dialogs/PullUnitsDlg.h"
#include "model/TorqDoc.h"
#include "report/MeasuredPulls.h"
#include "views/ResultUnitsChoice.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

namespace {

const QString kProgram = QStringLiteral("Torqwell");

bool DefaultChooseUnits(QWidget* parent, const QString& fileName, bool askPower, bool askTorque,
                        PullReadOptions& options)
{
    CPullUnitsDlg dialog(fileName, askPower, askTorque, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    const PullReadOptions chosen = dialog.Options();
    options.powerUnit = chosen.powerUnit;
    options.torqueUnit = chosen.torqueUnit;
    return true;
}

void DefaultShowMessage(QWidget* parent, const QString& text, bool refusal)
{
    if (refusal) {
        QMessageBox::warning(parent, kProgram, text);
    } else {
        QMessageBox::information(parent, kProgram, text);
    }
}

bool DefaultOffer(QWidget* parent, const QString& engineName, const QStringList& pullNames)
{
    const QString text = QObject::tr("%1 had measured pulls beside it: %2.\nAdd them again?")
                             .arg(engineName, pullNames.join(QStringLiteral(", ")));
    return QMessageBox::question(parent, kProgram, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

QString EnginePath(const CChildFrame& child)
{
    return QFile::decodeName(QByteArray::fromStdString(child.Document().GetPathName()));
}

QString EngineName(const CChildFrame& child)
{
    return QString::fromStdString(child.Document().GetTitle());
}

}  // namespace

CPullCommands::CPullCommands(QWidget& window, Window hooks)
    : QObject(&window),
      m_window(window),
      m_hooks(std::move(hooks)),
      m_chooseUnits(DefaultChooseUnits),
      m_showMessage(DefaultShowMessage),
      m_offer(DefaultOffer),
      m_runMatchDialog([](CMatchDlg& dialog) { return dialog.exec(); })
{
}

void CPullCommands::CreateGraphMenu(QMenuBar& bar)
{
    m_graphMenu = bar.addMenu(tr("&Graph"));
    m_addAction = m_graphMenu->addAction(tr("Add Measured &Pull..."));
    m_addAction->setStatusTip(
        tr("Read a dyno pull (CSV or text) and draw it beside the active engine's power and torque"));
    connect(m_addAction, &QAction::triggered, this, [this] { AddMeasuredPull(); });
    m_removeMenu = m_graphMenu->addMenu(tr("&Remove Measured Pull"));
    m_removeMenu->setStatusTip(tr("Take a measured pull or published peaks off the active engine's graph"));
    connect(m_removeMenu, &QMenu::aboutToShow, this, &CPullCommands::RebuildRemoveMenu);
    RebuildRemoveMenu();
}

void CPullCommands::AddMatchCommand(QMenu& engineMenu)
{
    m_matchAction = engineMenu.addAction(tr("Match To &Dyno..."));
    m_matchAction->setStatusTip(tr(
        "Find the values of the figures you are unsure of that bring the engine closest to a measured pull"));
    connect(m_matchAction, &QAction::triggered, this, &CPullCommands::MatchToDyno);
}

void CPullCommands::UpdateCommandStates(bool hasEngine)
{
    for (QAction* action : {m_addAction, m_matchAction}) {
        if (action != nullptr) action->setEnabled(hasEngine);
    }
    if (m_removeMenu != nullptr) m_removeMenu->setEnabled(hasEngine);
}

void CPullCommands::RebuildRemoveMenu()
{
    m_removeMenu->clear();
    CChildFrame* child = m_hooks.activeChild();
    if (child != nullptr) {
        const CMeasuredPulls& measured = child->MeasuredPulls();
        for (int i = 0; i < static_cast<int>(measured.Pulls().size()); ++i) {
            QString text = measured.Pulls()[static_cast<std::size_t>(i)].Legend();
            QAction* action = m_removeMenu->addAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
            connect(action, &QAction::triggered, this, [this, i] {
                if (CChildFrame* active = m_hooks.activeChild()) RemovePull(*active, i);
            });
        }
        if (measured.Published()) {
            QString text = measured.Published()->Legend();
            QAction* action = m_removeMenu->addAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
            connect(action, &QAction::triggered, this, [this] {
                if (CChildFrame* active = m_hooks.activeChild()) active->MeasuredPulls().ClearPublished();
            });
        }
    }
    if (m_removeMenu->isEmpty()) m_removeMenu->addAction(tr("(no measured pulls)"))->setEnabled(false);
}

bool CPullCommands::AddMeasuredPull()
{
    CChildFrame* child = m_hooks.activeChild();
    if (child == nullptr) return false;
    const QString path = m_hooks.chooseFileToOpen(
        tr("Add Measured Pull"), {tr("Dyno Pulls (*.csv *.txt *.tsv)"), tr("All Files (*)")});
    if (path.isEmpty()) return false;
    return AddPullFile(*child, path, PullReadOptions{}, true);
}

bool CPullCommands::AddPullFile(CChildFrame& child, const QString& path, PullReadOptions options,
                                bool askUnits)
{
    const QFileInfo file(path);
    const std::string native = QFile::encodeName(file.absoluteFilePath()).toStdString();
    PullReading reading = ReadDynoPullFile(native, options);
    if (!reading.ok) {
        m_showMessage(&m_window,
                      tr("%1 cannot be read as a dyno pull:\n%2")
                          .arg(file.fileName(), QString::fromStdString(reading.error)),
                      true);
        return false;
    }
    const bool askPower = reading.pull.hasPower && !reading.pull.powerUnitNamed;
    const bool askTorque = reading.pull.hasTorque && !reading.pull.torqueUnitNamed;
    if (askUnits && (askPower || askTorque)) {
        if (!m_chooseUnits(&m_window, file.fileName(), askPower, askTorque, options)) return false;
        reading = ReadDynoPullFile(native, options);
        if (!reading.ok) return false;  // the file changed under us; the first reading took it
    }
    if (!reading.pull.notes.empty()) {
        QStringList notes;
        for (const std::string& note : reading.pull.notes) notes << QString::fromStdString(note);
        m_showMessage(&m_window, tr("%1: %2.").arg(file.fileName(), notes.join(QStringLiteral("; "))), false);
    }
    child.MeasuredPulls().Add({file.absoluteFilePath(), options, std::move(reading.pull)});
    RememberPullsOf(child);
    return true;
}

void CPullCommands::RemovePull(CChildFrame& child, int index)
{
    child.MeasuredPulls().Remove(index);
    RememberPullsOf(child);
}

void CPullCommands::OfferRememberedPulls(CChildFrame& child)
{
    const QString enginePath = EnginePath(child);
    if (enginePath.isEmpty()) return;
    std::vector<RememberedPull> offered;
    QStringList names;
    for (const RememberedPull& pull : RememberedPullsOf(enginePath)) {
        if (child.MeasuredPulls().IndexOf(pull.path) >= 0) continue;
        offered.push_back(pull);
        names << QFileInfo(pull.path).fileName();
    }
    if (offered.empty() || !m_offer(&m_window, EngineName(child), names)) return;
    for (const RememberedPull& pull : offered) AddPullFile(child, pull.path, pull.options, false);
}

void CPullCommands::RememberPullsOf(const CChildFrame& child)
{
    const QString enginePath = EnginePath(child);
    if (enginePath.isEmpty()) return;
    std::vector<RememberedPull> pulls;
    for (const MeasuredPull& pull : child.MeasuredPulls().Pulls()) pulls.push_back({pull.path, pull.options});
    RememberPulls(enginePath, pulls);
}

void CPullCommands::MatchToDyno()
{
    CChildFrame* child = m_hooks.activeChild();
    if (child == nullptr || !m_hooks.ensureResults(*child)) return;
    if (child->MeasuredPulls().IsEmpty() && !AddMeasuredPull()) return;
    CTorqDoc& doc = child->Document();
    CMatchDlg dialog(doc, child->MeasuredPulls().Pulls(), DisplayedResultUnits(doc), &m_window);
    // The matched engine opens with the pulls beside it, to be seen against them at once.
    const std::vector<MeasuredPull> pulls = child->MeasuredPulls().Pulls();
    dialog.SetEngineTaker([this, pulls](std::unique_ptr<CTorqDoc> matched) {
        matched->RunSimulation(true, true);
        matched->SetModified(true);
        CChildFrame* made = m_hooks.addEngine(std::move(matched));
        if (made == nullptr) return;
        for (const MeasuredPull& pull : pulls) made->MeasuredPulls().Add(pull);
    });
    m_runMatchDialog(dialog);
}
