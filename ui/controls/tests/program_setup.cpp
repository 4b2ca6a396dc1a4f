// The charts are built from the skin's own "equalizer" node, with the
// program's languages.
#include "chart_harness.h"
#include "ui/tests/program_environment.h"

namespace {
ui::testing::ProgramEnvironment::Options WithChartLayouts() {
    ui::testing::ProgramEnvironment::Options options;
    options.prepare = ui::testing::PrepareChartLayouts;
    options.cleanUp = ui::testing::RemoveChartLayouts;
    return options;
}
const auto* const kEnvironment = ui::testing::RegisterProgramEnvironment(WithChartLayouts());
}  // namespace
