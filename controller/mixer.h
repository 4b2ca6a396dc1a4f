// The input mixer of one source: which inputs feed which outputs at what
// level, the phase of each input, the bridged output pairs and the two
// cross-source rows that bring a channel of another source into the mix.
// It drives the mixer window's controls by name (no Qt), keeps the working
// profile and sends every change to the amplifier through the link's queue.
//
// Rows and mask bits: rows 0..I-1 are the source's inputs; rows R..9 are the
// cross-source rows, mapped to the mask bits right after the inputs
// (bit = row + I - R), so a 2-input source mixes its cross-source channels
// as bits 2 and 3 and an 8-input source as bits 8 and 9.
#pragma once

#include <string>

#include "controller/control_lookup.h"
#include "toolkit/control_access.h"

namespace controller {

class EqualizerManager;

inline constexpr int kMixerRows = 10;
// The window timer that refreshes the clip lamps and asks for new reports.
inline constexpr int STATUS_READ_TIMER = 8193;
inline constexpr int kStatusReadPeriodMs = 1000;
// A cross-source row that mixes nothing.
inline constexpr int kNoCrossSource = 10;

// The look of a clip lamp: lit while the amplifier reports clipping.
inline constexpr uint32_t kLampLitColor = 0xFFE53935;
inline constexpr uint32_t kLampLitText = 0xFFFFFFFF;
inline constexpr uint32_t kLampDarkColor = 0xFF232A33;
inline constexpr uint32_t kLampDarkText = 0xFF6B7684;

class Mixer {
public:
    Mixer(EqualizerManager& manager, toolkit::ControlAccess& window, int source);

    // Shows every control from the working profile; notifications are
    // handled from then on. Whether the window should run the status timer.
    bool Fill();
    // One notification of the window's controls; false when not the mixer's.
    bool Handle(const toolkit::Notification& notification);
    // STATUS_READ_TIMER: the lamps from the last reports, then new requests
    // (queued: the answers arrive later and the next tick shows them).
    void OnStatusTick();

    int Source() const { return mSource; }
    int InputCount() const { return mInputs; }
    bool HasCrossSource() const { return mCrossSource; }
    int RowLimit() const { return mRowLimit; }
    int ColumnCount() const { return mColumns; }
    bool IsRowActive(int row) const;
    int BitOfRow(int row) const;
    // The profile's cross-source index of the combo at row position k.
    int CrossIndex(int k) const;
    // 0 when the point is off, else its stored level.
    int EffectiveLevel(int row, int output) const;

    // The single path of every level or enable change of one point.
    void ChangeLevel(int row, int output, int level, bool fromEnable, bool focusEdit);
    void ClearMix();

private:
    void ShowCell(int row, int output);
    void ShowRow(int row);
    void ShowRowTitle(int row);
    void ShowLamps();
    void ShowLamp(toolkit::ControlHandle& lamp, bool clipping);
    void FillCrossSource();

    void OnEnable(int output, int row);
    void OnSlider(int output, int row);
    void OnEdit(int output, int row, int step);
    void MoveFocus(int output, int row, bool right);
    void OnPhase(int row);
    void OnBridge(int pair);
    void OnCrossSourceChoice(int k);
    void PairCrossSourceRows(int k, int viceSource, int viceChannel);
    bool SelectCrossSourceItem(int k, int viceSource, int viceChannel);

    // Sets or clears one mask bit of an output and sends the new mask; the
    // old mask is returned.
    uint32_t SetMaskBit(int output, int bit, bool on);
    void SendLevel(int bit, int output, int level);
    void SendMask(int output);
    void CopyToBridgePartner(int row, int output);
    int SliderMinimum(int row, int output);
    int SliderMaximum(int row, int output);
    bool IsOutputColumn(int output) const;
    bool IsValidCell(int row, int output) const;

    toolkit::ControlHandle& Cell(const char* format, int output, int row);

    EqualizerManager& mManager;
    toolkit::ControlAccess& mWindow;
    ControlLookup mControls;
    const int mSource;
    int mInputs = 0;
    bool mCrossSource = false;
    int mRowLimit = 8;
    int mColumns = 10;
    int mOutputs = 10;
    bool mReady = false;
};

}  // namespace controller
