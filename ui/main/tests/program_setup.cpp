// The main window tests run on the program's skin and languages, with the
// log when "savelog.ini" lies beside them.
#include "ui/tests/program_environment.h"

namespace {
ui::testing::ProgramEnvironment::Options WithLog() {
    ui::testing::ProgramEnvironment::Options options;
    options.log = true;
    return options;
}
const auto* const kEnvironment = ui::testing::RegisterProgramEnvironment(WithLog());
}  // namespace
