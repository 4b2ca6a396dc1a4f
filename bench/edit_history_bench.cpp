// The edit history's cost per user action: a notification that changes
// nothing (the common case: moves, focus, clicks on views), a band drag of a
// hundred moves made one step, and undoing it; and the memory of a full
// history of band steps.
#include <benchmark/benchmark.h>

#include <memory>

#include "controller/edit_history.h"
#include "controller/tuning_parts.h"

namespace {

struct History {
    std::unique_ptr<model::Profile> profile = std::make_unique<model::Profile>();
    bool held = false;
    controller::EditHistory history{*profile, controller::TuningDiffers, [this] { return held; }};
};

void BM_ActionThatChangesNothing(benchmark::State& state) {
    History h;
    for (auto _ : state) {
        h.history.BeforeNotification();
        h.history.AfterNotification();
    }
}
BENCHMARK(BM_ActionThatChangesNothing)->Unit(benchmark::kMicrosecond);

void BM_BandDragOfAHundredMovesAndItsUndo(benchmark::State& state) {
    History h;
    for (auto _ : state) {
        h.held = true;
        for (int move = 0; move < 100; ++move) {
            h.history.BeforeNotification();
            h.profile->eqBands[2][5].eqGain = static_cast<float>(move % 24) * 0.5f - 6.0f;
            h.profile->eqBands[2][5].freq = 200 + move;
            h.history.AfterNotification();
        }
        h.held = false;
        h.history.PointerReleased();
        *h.profile = h.history.TakeUndo();
        h.history.Rebase();
    }
}
BENCHMARK(BM_BandDragOfAHundredMovesAndItsUndo)->Unit(benchmark::kMillisecond);

// 500 band steps (the history's depth): the bytes they keep.
void BM_FullHistoryOfBandSteps(benchmark::State& state) {
    for (auto _ : state) {
        History h;
        for (size_t step = 0; step < controller::EditHistory::kMaxSteps; ++step) {
            h.history.BeforeNotification();
            h.profile->eqBands[step % 10][step % 21].eqGain += 0.5f;
            h.history.AfterNotification();
        }
        benchmark::DoNotOptimize(h.history.UndoSteps());
        state.counters["steps"] = static_cast<double>(h.history.UndoSteps());
        state.counters["kept_bytes"] = static_cast<double>(h.history.KeptBytes());
        state.counters["profile_bytes"] = static_cast<double>(sizeof(model::Profile));
    }
}
BENCHMARK(BM_FullHistoryOfBandSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
