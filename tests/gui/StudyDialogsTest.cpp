// The parts comparison and what to change next in the window: the same rows
// as the study, the engines they make, Stop, and a change applied to the
// engine that Undo takes back.

#include "commands/EngineHistory.h"
#include "dialogs/PartsShootoutDlg.h"
#include "dialogs/SensitivityChart.h"
#include "dialogs/SensitivityDlg.h"
#include "dialogs/StudyControls.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <QTableWidget>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>

#include <memory>
#include <vector>

class StudyDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void theComparisonShowsTheStudysRowsAndMakesTheirEngines();
    void stopEndsAComparisonBetweenSlicesWithWhatItHasRun();
    void theBarsAreTheChangesByGainAndOpenTheirEngines();
    void aChangeAppliedToTheEngineIsUndone();

private:
    CTorqDoc* NewDocument();

    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CTorqDoc> m_engine;
    std::vector<std::unique_ptr<CTorqDoc>> m_made;
};

void StudyDialogsTest::init()
{
    m_presenter = std::make_unique<RecordingPresenter>();
    m_engine = std::make_unique<CTorqDoc>();
    QVERIFY(BuildChevy350(*m_engine));
    m_engine->SetTitle("chevy.trq");
    m_made.clear();
}

void StudyDialogsTest::cleanup()
{
    m_made.clear();
    m_engine.reset();
    m_presenter.reset();
}

CTorqDoc* StudyDialogsTest::NewDocument()
{
    m_made.push_back(std::make_unique<CTorqDoc>());
    return m_made.back().get();
}

void StudyDialogsTest::theComparisonShowsTheStudysRowsAndMakesTheirEngines()
{
    CPartsShootoutDlg dialog(*m_engine, [this] { return NewDocument(); });
    dialog.TickGroup(PartGroup::Head, true);
    dialog.TickGroup(PartGroup::Exhaust, true);
    dialog.Score()->SetCriterion(StudyCriterion::AveragePower);
    dialog.Score()->SetBand({3000.0f, 6000.0f});
    dialog.Run();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsRunning(), 20000);

    ShootoutSetup setup;
    setup.groups = {{PartGroup::Head, AllowedPartOptions(*m_engine, PartGroup::Head)},
                    {PartGroup::Exhaust, AllowedPartOptions(*m_engine, PartGroup::Exhaust)}};
    setup.criterion = StudyCriterion::AveragePower;
    setup.band = {3000.0f, 6000.0f};
    PartsShootout study(*m_engine, setup);
    std::string failure;
    QVERIFY(study.RunBaseline(failure));
    study.RunAll(StudyRunner(1));
    const ShootoutResult expected = study.Result();

    QTableWidget* table = dialog.Table();
    QCOMPARE(table->rowCount(), 20);
    for (int r = 0; r < table->rowCount(); ++r) {
        const ShootoutRow& want = expected.rows[std::size_t(r)];
        QCOMPARE(table->item(r, 0)->data(Qt::UserRole).toULongLong(), qulonglong(want.combination));
        QCOMPARE(table->item(r, 1)->text(), QString::number(double(want.figures.score), 'f', 1));
    }

    // Make Engine: the selected rows as new engines named after their changes.
    table->selectRow(0);
    QCOMPARE(dialog.MakeEngines(), 1);
    QCOMPARE(m_made.size(), std::size_t(1));
    CTorqDoc& made = *m_made.front();
    QCOMPARE(QString::fromStdString(made.GetTitle()),
             QString::fromStdString(study.ChangesText(expected.rows[0].choices)));
    QVERIFY(made.IsModified());
    const StudyRunner::Outcome alone = StudyRunner::RunAlone(made);
    QCOMPARE(StudyScore(alone.results, setup.criterion, setup.band), expected.rows[0].figures.score);
}

void StudyDialogsTest::stopEndsAComparisonBetweenSlicesWithWhatItHasRun()
{
    CPartsShootoutDlg dialog(*m_engine, [this] { return NewDocument(); });
    for (PartGroup group : {PartGroup::Head, PartGroup::Manifold, PartGroup::Exhaust, PartGroup::Lifter})
        dialog.TickGroup(group, true);
    dialog.Run();
    QVERIFY(dialog.IsRunning());
    QTRY_VERIFY(dialog.Shootout()->DoneCount() > 0);
    dialog.Stop();
    QVERIFY(!dialog.IsRunning());
    const std::size_t done = dialog.Shootout()->DoneCount();
    QVERIFY(done < dialog.Shootout()->CombinationCount());
    QTest::qWait(50);
    QCOMPARE(dialog.Shootout()->DoneCount(), done);
    QCOMPARE(std::size_t(dialog.Table()->rowCount()), std::min<std::size_t>(20, done));
}

void StudyDialogsTest::theBarsAreTheChangesByGainAndOpenTheirEngines()
{
    CSensitivityDlg dialog(*m_engine, [this] { return NewDocument(); }, {});
    dialog.Run();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsRunning(), 20000);
    const SensitivityResult& result = dialog.Result();
    QCOMPARE(dialog.Chart()->BarCount(), int(result.rows.size()));
    QVERIFY(result.rows.size() > 20);
    // Biggest gain first: the first bar ends furthest right.
    QVERIFY(dialog.Chart()->BarRect(0).right() >= dialog.Chart()->BarRect(1).right());

    QVERIFY(dialog.OpenAsNewEngine(0));
    const SensitivityChange& change = dialog.Study()->Changes()[result.rows[0].change];
    QVERIFY(QString::fromStdString(m_made.front()->GetTitle())
                .startsWith(QString::fromStdString(change.parameter)));
    const StudyRunner::Outcome alone = StudyRunner::RunAlone(*m_made.front());
    QCOMPARE(StudyScore(alone.results, StudyCriterion::PeakPower, {}), result.rows[0].figures.score);
}

void StudyDialogsTest::aChangeAppliedToTheEngineIsUndone()
{
    CEngineHistory history(*m_engine);
    const EngineValues before = m_engine->Values();
    const auto apply = [this](const EngineEdit& edit, const QString& name) {
        QVERIFY(MakeEditedEngine(*m_engine, std::span(&edit, 1)));
        m_engine->Recalculate();
        RecordEngineChange(*m_engine, name);
    };
    CSensitivityDlg dialog(
        *m_engine, [this] { return NewDocument(); }, apply);
    dialog.Run();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsRunning(), 20000);
    const float best = dialog.Result().rows[0].figures.score;
    dialog.ApplyToEngine(0);
    QVERIFY(!(m_engine->Values() == before));
    QCOMPARE(StudyScore(StudyRunner::RunAlone(*m_engine).results, StudyCriterion::PeakPower, {}), best);
    QCOMPARE(history.Stack()->count(), 1);
    QVERIFY(history.Stack()->undoText().contains(" -> "));
    history.Stack()->undo();
    QVERIFY(m_engine->Values() == before);
}

QTEST_MAIN(StudyDialogsTest)
#include "StudyDialogsTest.moc"
