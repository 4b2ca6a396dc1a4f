#include "dsp_math/crossover_design.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp_math/section_response.h"

namespace dsp {

namespace {

constexpr int kMaxOrder = 8;

// Bessel damping and frequency factors by order and section, and the
// normaliser that puts the corner where the device puts it.
constexpr double kBesselDamping[kMaxOrder + 1][4] = {
    {},
    {},
    {1.7320508075688772},
    {1.44708},
    {1.915949, 1.241406},
    {1.774511, 1.091134},
    {1.959563, 1.63614, 0.977217},
    {1.878443, 1.513268, 0.887896},
    {1.976319, 1.786961, 1.406762, 0.815881},
};
constexpr double kBesselFrequency[kMaxOrder + 1][4] = {
    {},
    {},
    {1.7320508075688772},
    {2.541541},
    {3.023265, 3.389366},
    {3.777894, 4.261023},
    {4.336027, 4.566489, 5.149177},
    {5.066206, 5.37927, 6.049528},
    {5.654841, 5.825353, 6.210415, 6.959312},
};
constexpr double kBesselNormaliser[kMaxOrder + 1] = {
    1.0, 1.0, 0.57735, 0.403008, 0.308607, 0.249641, 0.209398, 0.180221, 0.158118};
constexpr double kBesselFirstOrder[4] = {1.0, 2.322185, 3.646739, 4.971787};
constexpr double kLinkwitzRileyDamping[5][4] = {
    {},
    {2.0},
    {1.4142135623730951, 1.4142135623730951},
    {2.0, 1.0, 1.0},
    {1.847759, 0.765367, 1.847759, 0.765367},
};

double clampOmega(double w) {
    const double lowest = 2.0 * std::numbers::pi * 0.0025 / kSampleRate;
    const double highest = 2.0 * std::numbers::pi * 22000.0 / kSampleRate;
    return std::isnan(w) ? lowest : std::clamp(w, lowest, highest);
}

// Moves a Bessel corner by a factor: down for a high-pass, up for a low-pass.
double scaled(double w, double factor, bool lowPass) {
    return lowPass ? w * factor : w / factor;
}

Biquad firstOrder(double ws, bool lowPass) {
    const double p = (std::cos(ws) + std::sin(ws) - 1.0) / (std::cos(ws) - std::sin(ws) - 1.0);
    Biquad s;
    s.a[1] = p;
    s.b[0] = lowPass ? (1.0 + p) / 2.0 : (1.0 - p) / 2.0;
    s.b[1] = lowPass ? s.b[0] : -s.b[0];
    return s;
}

Biquad secondOrder(double ws, double damping, bool lowPass) {
    const double p = (2.0 - damping * std::sin(ws)) / (2.0 + damping * std::sin(ws));
    const double c = std::cos(ws);
    Biquad s;
    s.a[1] = -(1.0 + p) * c;
    s.a[2] = p;
    const double f = lowPass ? (1.0 + p) * (1.0 - c) / 4.0 : (1.0 + p) * (1.0 + c) / 4.0;
    s.b[0] = f;
    s.b[1] = lowPass ? 2.0 * f : -2.0 * f;
    s.b[2] = f;
    return s;
}

double damping(int family, int order, int s) {
    if (family == kFamilyLinkwitzRiley) {
        return kLinkwitzRileyDamping[order / 2][s];
    }
    if (family == kFamilyBessel) {
        return kBesselDamping[order][s];
    }
    return 2.0 * std::sin((2.0 * (order / 2 - 1 - s) + 1.0) * std::numbers::pi / (2.0 * order));
}

int orderOf(int slope, int family) {
    int order = slope;
    if (family == kFamilyLinkwitzRiley && order % 2 != 0) {
        ++order;  // Linkwitz-Riley filters come in even orders only
    }
    return std::clamp(order, 1, kMaxOrder);
}

}  // namespace

CrossoverSections designCrossover(bool lowPass, double fc, int slope, int family) {
    if (family < kFamilyButterworth || family > kFamilyBessel) {
        family = kFamilyButterworth;
    }
    const int order = orderOf(slope, family);
    const double w = clampOmega(2.0 * std::numbers::pi * fc / kSampleRate);
    CrossoverSections sections;
    int remaining = order;
    for (int s = 0; s < kMaxCrossoverSections && remaining > 0; ++s) {
        double ws = family == kFamilyBessel ? scaled(w, kBesselNormaliser[order], lowPass) : w;
        if (remaining == 1) {
            if (family == kFamilyBessel) {
                ws = clampOmega(scaled(ws, kBesselFirstOrder[s], lowPass));
            }
            sections[s] = {SectionKind::FirstOrder, firstOrder(ws, lowPass)};
            remaining = 0;
            continue;
        }
        if (family == kFamilyBessel) {
            ws = clampOmega(scaled(ws, kBesselFrequency[order][s], lowPass));
        }
        sections[s] = {SectionKind::SecondOrder,
                       secondOrder(ws, damping(family, order, s), lowPass)};
        remaining -= 2;
    }
    return sections;
}

void crossoverResponse(bool lowPass, double fc, int slope, int family, std::span<const double> grid,
                       std::span<double> magDb, std::span<double> phase) {
    const size_t n = grid.size();
    if (magDb.size() < n || phase.size() < n) {
        return;
    }
    std::fill_n(magDb.begin(), n, 0.0);
    std::fill_n(phase.begin(), n, 0.0);
    std::vector<double> sectionDb(n);
    std::vector<double> sectionPhase(n);
    for (const CrossoverSection& section : designCrossover(lowPass, fc, slope, family)) {
        if (section.kind == SectionKind::Absent) {
            continue;
        }
        evalSections(section.coeffs.b, section.coeffs.a, 2, 1, grid, sectionDb, sectionPhase);
        for (size_t k = 0; k < n; ++k) {
            magDb[k] += sectionDb[k];
            phase[k] += sectionPhase[k];
        }
    }
}

}  // namespace dsp
