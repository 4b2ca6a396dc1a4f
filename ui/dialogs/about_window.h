// The about window: the device's firmware version (or the model name when no
// device is connected), the program's version and the firmware built into it.
#pragma once

#include <string>

#include "app/model_cfg.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

// The device's version fields; model number -1 means no device.
struct DeviceVersion {
    int modelNumber = -1;
    int masterVersion = 0;
    int slaveVersion = 0;
};

// The firmware line: the model name and a blank, followed, with a device, by
// the translation of "${version}" and " v<master>.<slave>".
std::string AboutFirmwareLine(const app::ModelCfg& model, const DeviceVersion& device);
// "<translation of ${soft_version}> v6.8.16".
std::string AboutSoftwareLine();
// "<translation of ${inner_fw_version}> v<main>.<slave>" of the built-in image.
std::string AboutInnerFirmwareLine(const app::ModelCfg& model);

class CAboutWnd : public DialogFrame {
public:
    CAboutWnd(const app::ModelCfg& model, DeviceVersion device)
        : DialogFrame("AboutWnd", "msgwnd"), mModel(model), mDevice(device) {}
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    const app::ModelCfg& mModel;
    DeviceVersion mDevice;
};

int ShowAboutWindow(toolkit::Window* owner, const app::ModelCfg& model, DeviceVersion device);

}  // namespace ui
