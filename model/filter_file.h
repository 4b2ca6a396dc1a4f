// EQ filter lists in the text format that measurement software and
// system-wide equalizers read and write:
//   Preamp: -6.0 dB
//   Filter 1: ON PK Fc 1000 Hz Gain -3.0 dB Q 2.00
// Reading never fails half-way: every line that is not understood is kept
// with its number so the user sees what was left out. Fitting decides which
// filters one output of this amplifier can take (peaking bands only, within
// the band limits) and says why each of the others was refused. All messages
// are language keys ("${filter_file_empty}", ...), never English text.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/profile.h"

namespace model {

// Filter lists are a few kilobytes; anything larger is not one and is
// refused before it is read.
inline constexpr size_t kMaxFilterFileBytes = 1u << 20;

enum class FilterType { Peaking, LowShelf, HighShelf, LowPass, HighPass, Notch, AllPass, BandPass };

// The short name a filter file uses for the type ("PK", "LS", ...).
const char* filterTypeName(FilterType type);

struct FilterEntry {
    int number = 0;  // as written in the file
    bool on = true;
    FilterType type = FilterType::Peaking;
    double frequencyHz = 0.0;
    double gainDb = 0.0;
    std::optional<double> q;  // given as Q or converted from a bandwidth in octaves
};

struct UnreadLine {
    int lineNumber = 0;  // from 1
    std::string text;
};

struct FilterList {
    std::optional<double> preampDb;
    std::vector<FilterEntry> filters;
    std::vector<UnreadLine> unreadLines;
};

enum class FilterFileError { None, CannotOpen, Empty, TooLarge, Binary, NoFilters };

// "${filter_file_...}" for every error; nullptr for None.
const char* filterFileErrorKey(FilterFileError error);

struct FilterFileRead {
    FilterFileError error = FilterFileError::None;
    FilterList list;  // empty unless error is None
};

FilterFileRead ParseFilterText(std::string_view text);
FilterFileRead ReadFilterFile(const std::filesystem::path& path);

// The Q of a peaking filter given by its bandwidth in octaves.
double qFromBandwidthOctaves(double octaves);

enum class FitRefusalReason {
    Off,
    NotPeaking,
    NoQ,
    NoBandLeft,
    FrequencyTooLow,
    FrequencyTooHigh,
    GainTooLow,
    GainTooHigh,
    QTooLow,
    QTooHigh,
};

// "${filter_fit_...}" for every reason.
const char* fitRefusalKey(FitRefusalReason reason);

struct FitRefusal {
    FilterEntry filter;
    FitRefusalReason reason = FitRefusalReason::Off;
    const char* key = nullptr;
    // For the limits: the filter's value and the limit it crosses; for
    // NoBandLeft the limit is the output's band count.
    double value = 0.0;
    double limit = 0.0;
};

struct FilterFit {
    std::vector<EqBand> bands;  // in the order of the file, enabled, peaking
    std::vector<FitRefusal> refusals;
};

// Which filters of the list fit an output with bandCount bands. Values are
// taken at the precision the bands keep (whole hertz, 0.1 dB, Q to 0.01).
FilterFit FitFiltersToOutput(const FilterList& list, int bandCount);

// The bands of one output in the filter file format; disabled bands as OFF,
// so that reading the text back gives the enabled bands again.
std::string FormatFilterFile(const Profile& profile, int output);

}  // namespace model
