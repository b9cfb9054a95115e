// Costs of recomputing the totals and of a whole commit, each against the floor of just parsing
// and summing the 100 amount texts, measured in the same run. Prints the ratios at the end.

#include "app/FR0010MN.h"
#include "platform/SysUtils.h"

#include "platform/Forms.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

TFrmFR0010MN* Form = nullptr;

// Every row filled, every other one marked.
void FillSheet() {
    for (int r = 1; r < Form->SGMain->RowCount(); ++r) {
        Form->SGMain->Cells[1][r] = IntToStr(1000 + r);
        Form->SGMain->Cells[2][r] = IntToStr(r);
        Form->SGMain->Cells[3][r] = IntToStr((1000 + r) * r);
        if (r % 2 == 0) {
            Form->SGMain->Cells[0][r] = "* " + IntToStr(r);
        }
    }
}

void BM_FloorParseAndSumAmounts(benchmark::State& state) {
    std::vector<AnsiString> amounts;
    for (int r = 1; r < Form->SGMain->RowCount(); ++r) {
        amounts.push_back(Form->SGMain->Cells[3][r]);
    }
    for (auto _ : state) {
        std::int64_t total = 0;
        for (const AnsiString& amount : amounts) {
            total += StrToInt64Def(amount, 0);
        }
        benchmark::DoNotOptimize(total);
    }
}

void BM_RecalcTotals(benchmark::State& state) {
    for (auto _ : state) {
        Form->RecalcTotals();
    }
}

// The report that closes an edit: row commit, totals, and the repaint of what changed.
void BM_CommitToRepaint(benchmark::State& state) {
    int price = 1;
    for (auto _ : state) {
        const AnsiString text = IntToStr(price++ % 5000 + 1);
        Form->SGMain->Cells[1][3] = text;
        Form->FEditText = text;
        Form->SGMainSetEditText(Form->SGMain, 1, 3, text);
        QCoreApplication::processEvents();
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                Nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Nanoseconds;
};

} // namespace

BENCHMARK(BM_FloorParseAndSumAmounts);
BENCHMARK(BM_RecalcTotals);
BENCHMARK(BM_CommitToRepaint);

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication application(argc, argv);
    TFrmFR0010MN form;
    Form = &form;
    form.InitSheet();
    form.InitSheetFont();
    form.FTaxRate = 500;
    form.show();
    FillSheet();
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double floor = reporter.Nanoseconds["BM_FloorParseAndSumAmounts"];
    if (floor > 0) {
        for (const char* name : {"BM_RecalcTotals", "BM_CommitToRepaint"}) {
            std::printf("%s / floor = %.1f\n", name, reporter.Nanoseconds[name] / floor);
        }
    }
    benchmark::Shutdown();
    return 0;
}
