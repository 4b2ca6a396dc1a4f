// Decoding of the karaoke effect reports.
#include <array>

#include "app/log.h"
#include "device/frame_reader.h"
#include "device/mcu_subcommands.h"
#include "device/reply_decoders.h"
#include "device/window_messages.h"

namespace device {
namespace {

// Indexed by sub-command - 1.
constexpr std::array<const char*, 10> kLogLines = {
    "KTV MIC VOL OP=0x%x, scene=%d, src = %d, mic vol=%d\n",
    "KTV MUSIC_VOL OP=0x%x, scene=%d, src = %d, music vol=%d\n",
    "KTV HOWLING OP=0x%x, scene=%d, src = %d, howling=%d\n",
    "KTV ECHO LEVEL OP=0x%x, scene=%d, src = %d, echo level=%d\n",
    "KTV ECHO_DELAY OP=0x%x, scene=%d, src = %d, echo delay=%d\n",
    "KTV REVERB_LEVEL OP=0x%x, scene=%d, src = %d, reverb level=%d\n",
    "KTV REVERB_TIME OP=0x%x, scene=%d, src = %d, reverb time=%d\n",
    "KTV VOICE_CHANGER OP=0x%x, scene=%d, src = %d, voice changer=%d\n",
    "KTV_BASS_GAIN OP=0x%x, scene=%d, src = %d, bass gain=%d\n",
    "KTV_TREBLE_GAIN OP=0x%x, scene=%d, src = %d, treble gain=%d\n",
};

}  // namespace

void ktv_ack_process(const Frame& frame, const ReplyContext& context) {
    const uint8_t sub = frame.subCommand();
    if (sub < KTV_MIC_VOL || sub > KTV_TREBLE_GAIN) {
        app::Log("!!! NOT SUPPORT MSG\n");
        return;
    }
    const FrameReader data(frame);
    const bool wide = sub == KTV_ECHO_DELAY;
    if (frame.operation() != OP_UPDATE || !data.Has(wide ? 2 : 1)) {
        return;
    }
    intptr_t value = data.U8(0);
    if (wide) {
        value = data.U16(0);
    } else if (sub == KTV_BASS_GAIN || sub == KTV_TREBLE_GAIN) {
        value = data.S8(0);
    }
    app::Log(kLogLines[sub - 1], frame.operation(), data.U8(0), data.U8(1), data.U8(2));
    PostValue(context.targets.mainWnd, WM_READ_KTV_VALUE, sub, value);
}

}  // namespace device
