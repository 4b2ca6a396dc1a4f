// The virtual amplifier's kept state in a file between runs: the working
// state, the ten scene slots, their names and the mask of stored scenes, the
// microcontroller's values, the karaoke effects, the installed firmware and
// bootloader versions, and whether it waits in its upgrade program. A script
// of several command-line runs then talks to one amplifier that remembers.
// The file is JSON (each state as Base64 of its bytes, checked for size),
// written beside its target and renamed over it.
#pragma once

#include <filesystem>
#include <string>

#include "virtual_device/amplifier_protocol.h"

namespace virtual_device {

// The text of the protocol's kept state.
std::string AmplifierStateText(const AmplifierProtocol& protocol);

// A fault a test script asks of the next run ("unplugAtReport": N pulls
// the cable when the N-th report from the host arrives). It is not written
// back, so it happens once.
struct ScriptedFaults {
    int unplugAtReport = 0;
};

// Fills the protocol from text written by AmplifierStateText; on failure
// (not JSON, another kind of file, states of another size) changes nothing
// and tells why in `error`.
bool ApplyAmplifierStateText(const std::string& text, AmplifierProtocol& protocol,
                             ScriptedFaults& faults, std::string& error);

// The same through a file. A missing file is no error for the load: the
// amplifier keeps what it has (found is then false).
bool LoadAmplifierState(const std::filesystem::path& path, AmplifierProtocol& protocol, bool& found,
                        ScriptedFaults& faults, std::string& error);
bool SaveAmplifierState(const std::filesystem::path& path, const AmplifierProtocol& protocol);

}  // namespace virtual_device
