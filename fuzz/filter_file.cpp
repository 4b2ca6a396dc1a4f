// Feeds arbitrary bytes to the filter list reader. A refused input yields
// nothing but its error; an accepted one yields only finite, positive
// values, every filter is either fitted or refused, the fitted bands keep to
// the band limits, and writing those bands and reading them back fits to
// the same bands again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/model_cfg.h"
#include "model/filter_file.h"
#include "model/profile.h"
#include "model/units.h"

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

void checkRead(const model::FilterFileRead& read, std::string_view text) {
    if (read.error != model::FilterFileError::None) {
        check(read.list.filters.empty() && read.list.unreadLines.empty() &&
              !read.list.preampDb.has_value());
        return;
    }
    check(!read.list.filters.empty());
    for (const auto& f : read.list.filters) {
        check(std::isfinite(f.frequencyHz) && f.frequencyHz > 0.0 && std::isfinite(f.gainDb));
        check(!f.q || (std::isfinite(*f.q) && *f.q > 0.0));
    }
    int previous = 0;
    for (const auto& unread : read.list.unreadLines) {
        check(unread.lineNumber > previous && unread.text.size() <= text.size());
        previous = unread.lineNumber;
    }
}

void checkBands(const model::FilterFit& fit, size_t filterCount, int bandCount) {
    const app::ModelCfg& m = app::CurrentModelCfg();
    check(fit.bands.size() + fit.refusals.size() == filterCount);
    check(static_cast<int>(fit.bands.size()) <= bandCount);
    for (const auto& b : fit.bands) {
        check(b.freq >= m.mEQ_FREQ_MIN && b.freq <= model::kMaxFrequencyHz);
        check(b.eqGain >= model::kMinBandGainDb && b.eqGain <= model::kMaxBandGainDb);
        check(b.eqFactor >= m.mEQ_FACTOR_MIN && b.eqFactor <= m.mEQ_FACTOR_MAX);
        check(b.enable && b.type == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static model::Profile profile;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = model::ParseFilterText(text);
    checkRead(read, text);
    if (read.error != model::FilterFileError::None) {
        return 0;
    }
    const int output = 0;
    const int bandCount = profile.bandCount(output);
    const auto fit = model::FitFiltersToOutput(read.list, bandCount);
    checkBands(fit, read.list.filters.size(), bandCount);
    if (fit.bands.empty()) {
        return 0;
    }
    model::EqBand* bands = profile.eqArray(output);
    for (size_t i = 0; i < fit.bands.size(); ++i) {
        bands[i] = fit.bands[i];
    }
    for (int i = static_cast<int>(fit.bands.size()); i < bandCount; ++i) {
        bands[i].enable = false;
    }
    const auto again = model::ParseFilterText(model::FormatFilterFile(profile, output));
    check(again.error == model::FilterFileError::None && again.list.unreadLines.empty());
    const auto refit = model::FitFiltersToOutput(again.list, bandCount);
    check(refit.bands == fit.bands);
    return 0;
}
