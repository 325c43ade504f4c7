// Edit > Undo and Edit > Redo of a change to an engine as the user waits for
// it: the engine's values put back and every view on show in its window
// redrawn (the Engine form or the Table on the left, the Graph on the right).
// For comparison, the change itself, whose Recalculate runs the engine.
// Run (no display needed):
//   ./bench_undo_gui --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// or under Xvfb with QT_QPA_PLATFORM=xcb to include the X server's drawing.

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplitterTabWnd.h"
#include "base/ErrCode.h"
#include "commands/EngineHistory.h"
#include "model/TorqDoc.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr Choice kCompression105{ChoiceGroup::CompressionRatio, 5};  // 10.5:1
constexpr Choice kCompression110{ChoiceGroup::CompressionRatio, 6};  // 11.0:1
constexpr int kLeftTableSheet = 2;

// Messages would stop the clock: any one is a fault of the benchmark.
class FailingPresenter final : public MessagePresenter {
public:
    void ShowMessage(MessageKind, int code, const ErrorMessage&) override
    {
        std::fprintf(stderr, "unexpected message %d\n", code);
        std::abort();
    }
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override
    {
        ShowMessage(MessageKind::Warning, code, message);
        return WarningAnswer::Cancel;
    }
};

// One main window with the built 383 open, as a user has it.
struct Workbench {
    QTemporaryDir folder;
    CMainFrame frame{folder.path()};
    CChildFrame* child = nullptr;

    Workbench()
    {
        frame.resize(1280, 800);
        frame.show();
        child = frame.OpenDocumentFile(QStringLiteral(TORQWELL_SOURCE_DIR "/examples/chevy-383-built.trq"));
        if (child == nullptr) std::abort();
        QApplication::processEvents();
    }

    CTorqDoc& Doc() { return child->Document(); }

    // As the form's edit ends: recalculate (Auto Run runs the engine), record, redraw.
    void ChooseCompression(Choice choice)
    {
        Doc().Apply(choice);
        Doc().Recalculate();
        RecordEngineChange(Doc(), QStringLiteral("Compression Ratio"));
        Doc().UpdateAllViews();
        Draw();
    }

    void Draw()
    {
        QApplication::processEvents();
        frame.repaint();
    }
};

// Made once the application stands, gone before it ends.
Workbench* g_bench = nullptr;

Workbench& Bench()
{
    return *g_bench;
}

// arg 0: the Engine form beside the Graph; arg 1: the Table beside the Graph.
void ShowSheets(Workbench& bench, int sheets)
{
    bench.child->LeftPane()->setCurrentIndex(sheets == 0 ? 0 : kLeftTableSheet);
    bench.child->RightPane()->setCurrentIndex(0);
    bench.Draw();
}

void BM_UndoThenRedo(benchmark::State& state)
{
    Workbench& bench = Bench();
    ShowSheets(bench, int(state.range(0)));
    bench.ChooseCompression(kCompression105);
    QUndoStack* stack = bench.child->History()->Stack();
    for (auto _ : state) {
        stack->undo();
        bench.Draw();
        stack->redo();
        bench.Draw();
    }
    state.SetItemsProcessed(2 * state.iterations());  // items: one undo or one redo, drawn
    state.SetLabel(state.range(0) == 0 ? "form + graph" : "table + graph");
}
BENCHMARK(BM_UndoThenRedo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ChangeWithRun(benchmark::State& state)
{
    Workbench& bench = Bench();
    ShowSheets(bench, int(state.range(0)));
    bool higher = false;
    for (auto _ : state) {
        higher = !higher;
        bench.ChooseCompression(higher ? kCompression110 : kCompression105);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) == 0 ? "form + graph" : "table + graph");
}
BENCHMARK(BM_ChangeWithRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    FailingPresenter presenter;
    InstallMessagePresenter(&presenter);
    benchmark::Initialize(&argc, argv);
    auto bench = std::make_unique<Workbench>();
    g_bench = bench.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_bench = nullptr;
    return 0;
}
