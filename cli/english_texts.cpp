#include "cli/english_texts.h"

#include <array>
#include <string_view>
#include <utility>

#include "model/filter_import_summary.h"

namespace cli {
namespace {

// The same English the program shows for these keys.
constexpr std::array<std::pair<std::string_view, std::string_view>, 26> kTexts{{
    {"filter_file_open_error", "The filter file cannot be opened."},
    {"filter_file_empty", "The filter file is empty."},
    {"filter_file_too_large", "The file is larger than 1 MB and is not a filter file."},
    {"filter_file_binary", "The file is not a text file."},
    {"filter_file_no_filters", "The file contains no filter lines."},
    {"filter_fit_off", "Filter %d is switched off and was skipped."},
    {"filter_fit_not_peaking", "Filter %d: the type %s is not a peaking filter."},
    {"filter_fit_no_q", "Filter %d: a peaking filter without Q."},
    {"filter_fit_no_band_left", "Filter %d: this output has only %d bands."},
    {"filter_fit_freq_low", "Filter %d: the frequency %s Hz is below the lowest, %s Hz."},
    {"filter_fit_freq_high", "Filter %d: the frequency %s Hz is above the highest, %s Hz."},
    {"filter_fit_gain_low", "Filter %d: the gain %s dB is below the lowest, %s dB."},
    {"filter_fit_gain_high", "Filter %d: the gain %s dB is above the highest, %s dB."},
    {"filter_fit_q_low", "Filter %d: Q %s is below the lowest, %s."},
    {"filter_fit_q_high", "Filter %d: Q %s is above the highest, %s."},
    {"filter_import_headline", "%d of the %d filters in the file fit output %d (%d bands)."},
    {"filter_import_nothing_fits",
     "None of the %d filters in the file fits output %d. Nothing can be applied."},
    {"filter_import_band", "Band %d: %s Hz, %s dB, Q %s"},
    {"filter_import_rest_flat", "Bands %d to %d become flat (0 dB)."},
    {"filter_import_last_flat", "Band %d becomes flat (0 dB)."},
    {"filter_import_preamp",
     "The file asks for a preamp of %s dB. It is not applied: set the output's level yourself."},
    {"filter_import_unread_line", "Line %d: %s"},
    {"ui_filter_import_file", "File: %s"},
    {"ui_filter_import_taken", "Will be applied:"},
    {"ui_filter_import_refused", "Not taken (%d):"},
    {"ui_filter_import_unread", "Lines that could not be read (%d):"},
}};

std::string Translated(const std::string& keyText) {
    if (keyText.size() < 3 || keyText.compare(0, 2, "${") != 0 || keyText.back() != '}') {
        return keyText;
    }
    const std::string_view key(keyText.data() + 2, keyText.size() - 3);
    for (const auto& [name, text] : kTexts) {
        if (name == key) {
            return std::string(text);
        }
    }
    return keyText;  // a key without English shows as itself rather than vanish
}

}  // namespace

std::string EnglishText(const std::string& keyText, const std::vector<std::string>& values) {
    return model::FillInValues(Translated(keyText), values);
}

}  // namespace cli
