// The DSP memory window, a service tool: reads or writes one 32-bit word of
// the DSP's memory by address. The last address and data word are kept in
// the settings file ("mem_addr", "mem_data") across runs. A text that names
// no word is refused with a message in the window and nothing is sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "device/device_link.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CMemWrWnd : public DialogFrame {
public:
    explicit CMemWrWnd(device::DeviceLink& link);
    // The link no longer sends memory reports to a window that is gone.
    ~CMemWrWnd() override;

    // Builds the window over its owner, shows the kept address and data
    // word and takes the link's memory reports.
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::PostedRecord>& record) override;
    // The title-bar close and Alt+F4 close the window as its close button
    // does; they do not end the program.
    void OnCloseRequest() override;

private:
    void Read();
    void Write();
    // The word typed in the edit, or nothing after telling the user.
    std::optional<uint32_t> Typed(const char* edit, const char* problemKey);
    void ShowAddress(uint32_t address);
    void ShowData(uint32_t data);
    void ShowProblem(const std::string& key);

    device::DeviceLink& mLink;
};

// Opens the memory window over the owner and returns when it closed.
int OpenMemoryWindow(toolkit::Window* owner, device::DeviceLink& link);

}  // namespace ui
