// The skin and dialog tests run on the program's own skin; the language
// tables are left to the tests that switch them.
#include "ui/tests/program_environment.h"

namespace {
ui::testing::ProgramEnvironment::Options SkinOnly() {
    ui::testing::ProgramEnvironment::Options options;
    options.languages = false;
    return options;
}
const auto* const kEnvironment = ui::testing::RegisterProgramEnvironment(SkinOnly());
}  // namespace
