#include "testkit/amplifier_rig.h"

#include <utility>

namespace testkit {

device::ModelParams ThisBuildParams() {
    device::ModelParams params;
    params.pcModelId = 94;
    params.outputChannels = 10;
    params.mixerInputs = 10;
    return params;
}

virtual_device::ProtocolOptions NoReboot(virtual_device::ProtocolOptions options) {
    options.rebootOnFactoryDefault = false;
    return options;
}

AmplifierRig::AmplifierRig(std::wstring serialNumber, Tune tune,
                           virtual_device::ProtocolOptions options) {
    if (tune == Tune::kDemo) {
        virtual_device::DemoAmplifier demo = virtual_device::MakeDemoAmplifier(serialNumber);
        amplifier = std::move(demo.amplifier);
        protocol = std::move(demo.protocol);
    } else {
        amplifier = std::make_shared<virtual_device::VirtualAmplifier>(std::move(serialNumber));
        protocol = virtual_device::AmplifierProtocol::InstallOn(amplifier, options);
    }
    path = backend->Add(amplifier);
}

LinkedAmplifier::LinkedAmplifier(std::wstring serialNumber, platform::WindowHandle mainWindow)
    : AmplifierRig(std::move(serialNumber)) {
    link.SetModelParams(ThisBuildParams());
    link.SetMainWnd(mainWindow);
    link.OpenHIDDevice("");
    link.EnableCmdCtrl();
}

}  // namespace testkit
