#include "model/filter_import_summary.h"

#include <array>
#include <charconv>
#include <cmath>

namespace model {
namespace {

// An unread line is shown as far as it fits one row of the list.
constexpr size_t kShownLineBytes = 80;

std::string Number(int value) {
    return std::to_string(value);
}

// Whole hertz unless the file gave a fraction.
std::string HertzText(double hz) {
    return FixedText(hz, std::fabs(hz - std::round(hz)) < 0.05 ? 0 : 1);
}

// Only these types lift or cut; a pass, notch or all-pass filter has no gain.
bool HasGain(model::FilterType type) {
    return type == model::FilterType::Peaking || type == model::FilterType::LowShelf ||
           type == model::FilterType::HighShelf;
}

// What the file said of the filter: "LS 105 Hz -4.0 dB Q 0.71".
std::string FilterText(const model::FilterEntry& filter) {
    std::string text = model::filterTypeName(filter.type);
    text += " " + HertzText(filter.frequencyHz) + " Hz";
    if (HasGain(filter.type)) {
        text += " " + FixedText(filter.gainDb, 1) + " dB";
    }
    if (filter.q) {
        text += " Q " + FixedText(*filter.q, 2);
    }
    return text;
}

// The values the refusal's text has places for, in their order.
std::vector<std::string> RefusalValues(const model::FitRefusal& refusal) {
    const std::string number = Number(refusal.filter.number);
    switch (refusal.reason) {
        case model::FitRefusalReason::Off:
        case model::FitRefusalReason::NoQ:
            return {number};
        case model::FitRefusalReason::NotPeaking:
            return {number, model::filterTypeName(refusal.filter.type)};
        case model::FitRefusalReason::NoBandLeft:
            return {number, Number(static_cast<int>(refusal.limit))};
        case model::FitRefusalReason::FrequencyTooLow:
        case model::FitRefusalReason::FrequencyTooHigh:
            return {number, HertzText(refusal.value), HertzText(refusal.limit)};
        case model::FitRefusalReason::GainTooLow:
        case model::FitRefusalReason::GainTooHigh:
            return {number, FixedText(refusal.value, 1), FixedText(refusal.limit, 1)};
        case model::FitRefusalReason::QTooLow:
        case model::FitRefusalReason::QTooHigh:
            return {number, FixedText(refusal.value, 2), FixedText(refusal.limit, 2)};
    }
    return {number};
}

SummaryLine RefusalLine(const model::FitRefusal& refusal) {
    return {refusal.key != nullptr ? refusal.key : "", RefusalValues(refusal),
            FilterText(refusal.filter)};
}

// The line as the user wrote it, cut to one row (never inside a character)
// and with control characters shown as spaces.
std::string ShownLine(const std::string& text) {
    std::string shown = text.substr(0, kShownLineBytes);
    if (text.size() > kShownLineBytes) {
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80) {
            shown.pop_back();
        }
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0) {
            shown.pop_back();  // the lead byte of the character that was cut
        }
        shown += "...";
    }
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return shown;
}

}  // namespace

std::string FixedText(double value, int decimals) {
    if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) {
        value = 0.0;  // no "-0.0"
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

std::string FillInValues(const std::string& translated, const std::vector<std::string>& values) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < translated.size(); ++i) {
        const char c = translated[i];
        const char following = i + 1 < translated.size() ? translated[i + 1] : '\0';
        if (c == '%' && (following == 'd' || following == 's')) {
            if (next < values.size()) {
                out += values[next];
            }
            ++next;
            ++i;
        } else if (c == '%' && following == '%') {
            out += '%';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

FilterImportSummary SummariseFilterImport(const std::string& fileName, int output, int bandCount,
                                          const model::FilterList& list,
                                          const model::FilterFit& fit) {
    FilterImportSummary summary;
    summary.fileName = fileName;
    summary.output = output;
    summary.bandCount = bandCount;
    summary.filtersInFile = static_cast<int>(list.filters.size());
    summary.bandsTaken = static_cast<int>(fit.bands.size());
    if (summary.NothingFits()) {
        summary.headline = {"${filter_import_nothing_fits}",
                            {Number(summary.filtersInFile), Number(output + 1)}};
    } else {
        summary.headline = {"${filter_import_headline}",
                            {Number(summary.bandsTaken), Number(summary.filtersInFile),
                             Number(output + 1), Number(bandCount)}};
    }
    for (size_t b = 0; b < fit.bands.size(); ++b) {
        const model::EqBand& band = fit.bands[b];
        summary.taken.push_back({"${filter_import_band}",
                                 {Number(static_cast<int>(b) + 1), Number(band.freq),
                                  FixedText(band.eqGain, 1), FixedText(band.eqFactor, 2)}});
    }
    if (!summary.NothingFits() && summary.bandsTaken + 1 == bandCount) {
        summary.taken.push_back({"${filter_import_last_flat}", {Number(bandCount)}});
    } else if (!summary.NothingFits() && summary.bandsTaken < bandCount) {
        summary.taken.push_back(
            {"${filter_import_rest_flat}", {Number(summary.bandsTaken + 1), Number(bandCount)}});
    }
    for (const model::FitRefusal& refusal : fit.refusals) {
        summary.refused.push_back(RefusalLine(refusal));
    }
    if (list.preampDb) {
        summary.preamp = SummaryLine{"${filter_import_preamp}", {FixedText(*list.preampDb, 1)}};
    }
    for (const model::UnreadLine& line : list.unreadLines) {
        summary.unread.push_back(
            {"${filter_import_unread_line}", {Number(line.lineNumber), ShownLine(line.text)}});
    }
    return summary;
}

}  // namespace model
