#include "ui/dialogs/memory_window.h"

#include "app/log.h"
#include "app/memory_word.h"
#include "app/settings.h"
#include "device/device_records.h"
#include "device/window_messages.h"
#include "ui/dialogs/message_box.h"

namespace ui {
namespace {

constexpr const char* kSection = "config";
constexpr const char* kAddressKey = "mem_addr";
constexpr const char* kDataKey = "mem_data";
constexpr const char* kProblemLabel = "mem_problem";

}  // namespace

CMemWrWnd::CMemWrWnd(device::DeviceLink& link) : DialogFrame("MemWrWnd", "memwrwnd"), mLink(link) {}

CMemWrWnd::~CMemWrWnd() {
    mLink.ReleaseMemWnd(Handle());
}

void CMemWrWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_MEM_WR");
    ShowAddress(app::MemoryWordFromSetting(app::ReadSettingInt(kSection, kAddressKey, 0)));
    ShowData(app::MemoryWordFromSetting(app::ReadSettingInt(kSection, kDataKey, 0)));
    ShowProblem("");
    mLink.SetMemWnd(Handle());
}

void CMemWrWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "read_btn")) {
        Read();
    } else if (IsClickOn(notification, "write_btn")) {
        Write();
    } else if (IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
        return;
    }
    DefaultNotify(notification);
}

void CMemWrWnd::Read() {
    const std::optional<uint32_t> address = Typed("addr_edit", "${mem_bad_address}");
    if (!address) {
        return;
    }
    ShowProblem("");
    ShowAddress(*address);
    app::Log("read_btn read dsp mem, addr(0x%08x)\n", *address);
    mLink.Get_MemData(*address);
}

void CMemWrWnd::Write() {
    const std::optional<uint32_t> address = Typed("addr_edit", "${mem_bad_address}");
    if (!address) {
        return;
    }
    const std::optional<uint32_t> value = Typed("data_edit", "${mem_bad_data}");
    if (!value) {
        return;
    }
    ShowProblem("");
    ShowAddress(*address);
    ShowData(*value);
    app::Log("write_btn write dsp mem, addr(0x%08x), data(0x%08x)\n", *address, *value);
    mLink.Set_MemData(*address, *value, false);
}

std::optional<uint32_t> CMemWrWnd::Typed(const char* edit, const char* problemKey) {
    const toolkit::Control* control = Find(edit);
    const std::optional<uint32_t> word =
        control != nullptr ? app::ParseMemoryWord(control->Text()) : std::nullopt;
    if (!word) {
        app::Log("%s: not a word, nothing sent\n", edit);
        ShowProblem(problemKey);
    }
    return word;
}

void CMemWrWnd::ShowAddress(uint32_t address) {
    if (toolkit::Control* edit = Find("addr_edit")) {
        edit->SetText(app::FormatMemoryWord(address));
    }
    app::WriteSetting(kSection, kAddressKey, app::MemoryWordSetting(address));
}

void CMemWrWnd::ShowData(uint32_t data) {
    if (toolkit::Control* edit = Find("data_edit")) {
        edit->SetText(app::FormatMemoryWord(data));
    }
    app::WriteSetting(kSection, kDataKey, app::MemoryWordSetting(data));
}

void CMemWrWnd::ShowProblem(const std::string& key) {
    if (toolkit::Control* label = Find(kProblemLabel)) {
        label->SetText(key);
        label->SetVisible(!key.empty());
    }
}

void CMemWrWnd::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                          std::unique_ptr<platform::PostedRecord>& record) {
    DialogFrame::OnMessage(message, wParam, lParam, record);
    if (message != device::WM_READ_MEM_VALUE) {
        return;
    }
    const auto* memory = platform::RecordValue<device::MemDataRecord>(record);
    if (memory == nullptr) {
        return;
    }
    app::Log("mem data = addr(0x%08x), data(0x%08x)\n", memory->address, memory->value);
    ShowAddress(memory->address);
    ShowData(memory->value);
    record.reset();
}

void CMemWrWnd::OnCloseRequest() {
    Close(kBoxCancel);
}

int OpenMemoryWindow(toolkit::Window* owner, device::DeviceLink& link) {
    CMemWrWnd window(link);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
