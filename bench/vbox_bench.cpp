// The gradient box's redraw in the launcher's set-up: a 364 x 53 box in vbGradient, whose
// back buffer is drawn pixel by pixel by the four-corner gradient at every corner write (at
// least five times at start-up). Target: at most 0.5 ms per redraw; read the median.
#include <benchmark/benchmark.h>

#include "VBox.h"

static void BM_VBoxUpdDrawFourCorner(benchmark::State& state) {
    TVBox box(nullptr);
    box.SetBounds(0, 0, 364, 53);
    box.RectColor()->SetDownRight(clBlue);
    box.RectColor()->SetDownLeft(clWhite);
    box.SetGradStyle(vbGradient);
    for (auto _ : state) {
        box.UpdDraw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VBoxUpdDrawFourCorner)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
