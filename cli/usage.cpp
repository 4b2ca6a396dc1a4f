#include "cli/usage.h"

namespace cli {

std::string UsageText() {
    return "Usage: tq-dsp [options] COMMAND\n"
           "Tunes and backs up the amplifier from a terminal.\n"
           "\n"
           "Commands:\n"
           "  list                      the attached amplifiers\n"
           "  info                      the amplifier's identity and versions\n"
           "  backup FILE.wpf           the whole configuration (ten scenes and the\n"
           "                            working state) into a file\n"
           "  restore FILE.wpf|FILE.spf a whole configuration, or one scene profile\n"
           "                            into the working state\n"
           "  scene list                the ten scene slots\n"
           "  scene save N [NAME]       the working state into slot N (1..10)\n"
           "  scene load N              slot N becomes the working state\n"
           "  scene delete N            empties slot N\n"
           "  dump                      the working state as JSON (the .spf format)\n"
           "\n"
           "Options:\n"
           "  --device PATH|SERIAL      the amplifier to use (default: the first)\n"
           "  --virtual-device[=STATE-FILE]\n"
           "                            a virtual amplifier; with a file it keeps its\n"
           "                            state there between runs\n"
           "  --json                    list, info and scene list print JSON\n"
           "  --quiet                   no progress\n"
           "  --help                    this text\n"
           "  --version                 the version\n"
           "\n"
           "Exit codes:\n"
           "  0  done\n"
           "  1  device error (no answer, pulled cable, refused)\n"
           "  2  bad arguments\n"
           "  3  no device (none attached, or the one named not found)\n"
           "  4  bad file (unreadable, corrupt, wrong kind, wrong firmware image)\n";
}

}  // namespace cli
