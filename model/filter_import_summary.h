// What the import summary window shows before a filter file is applied to
// an output: the bands that will be taken, every filter that is not taken
// with its reason and values, the preamp the file asks for (never applied)
// and the lines that could not be read. Each line is a text with language
// key with printf-style places ("%d", "%s") and the values for them, so the
// window fills them in after translating.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/filter_file.h"

namespace model {

struct SummaryLine {
    SummaryLine() = default;
    SummaryLine(std::string text, std::vector<std::string> values = {}, std::string detail = {})
        : text(std::move(text)), values(std::move(values)), detail(std::move(detail)) {}

    std::string text;  // one "${key}" with "%d" / "%s" places, or plain text
    std::vector<std::string> values;
    // Shown after the filled-in text as it stands: the filter as the file
    // wrote it ("LS 105 Hz -4.0 dB Q 0.71"); empty for none.
    std::string detail;

    bool operator==(const SummaryLine&) const = default;
};

struct FilterImportSummary {
    std::string fileName;  // without its folder
    int output = 0;        // counted from 0
    int bandCount = 0;     // the output's bands
    int filtersInFile = 0;
    int bandsTaken = 0;
    // How many of the file's filters fit, or that none does.
    SummaryLine headline;
    // The bands in the order they will be applied: band k is the k-th line.
    std::vector<SummaryLine> taken;
    std::vector<SummaryLine> refused;
    std::optional<SummaryLine> preamp;
    std::vector<SummaryLine> unread;

    bool NothingFits() const { return bandsTaken == 0; }
};

// The summary of fitting this list to an output with bandCount bands.
FilterImportSummary SummariseFilterImport(const std::string& fileName, int output, int bandCount,
                                          const model::FilterList& list,
                                          const model::FilterFit& fit);

// The translated text with its places filled in order: "%d" and "%s" each
// take the next value, "%%" is a percent sign. Places without a value stay
// empty and values without a place are left out, so a translation with the
// wrong places never reads past the values.
std::string FillInValues(const std::string& translated, const std::vector<std::string>& values);

// A number with this many decimals, independent of the user's locale.
std::string FixedText(double value, int decimals);

}  // namespace model
