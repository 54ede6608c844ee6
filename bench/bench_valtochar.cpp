// Time of the amount in words per call, beside ICU's French spell-out on the same values.

#include "cheque/mValToChar.h"

#include <unicode/rbnf.h>
#include <unicode/unistr.h>

#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kBatch = 1000;
constexpr int kBatches = 400;

template <class F> double medianNsPerCall(const std::vector<qint32> &values, F &&call)
{
    std::vector<double> perCall;
    perCall.reserve(kBatches);
    size_t sink = 0;
    for (int b = 0; b < kBatches; ++b) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i)
            sink += call(values[size_t(b * kBatch + i)]);
        const auto end = std::chrono::steady_clock::now();
        perCall.push_back(std::chrono::duration<double, std::nano>(end - start).count() / kBatch);
    }
    std::nth_element(perCall.begin(), perCall.begin() + kBatches / 2, perCall.end());
    if (sink == 42)
        std::puts(""); // keeps the calls from being optimised away
    return perCall[kBatches / 2];
}

} // namespace

int main()
{
    std::vector<qint32> values(size_t(kBatch) * kBatches);
    QRandomGenerator rng(1234);
    for (auto &v : values)
        v = qint32(rng.bounded(2147483648u));

    UErrorCode status = U_ZERO_ERROR;
    icu::RuleBasedNumberFormat icu(icu::URBNF_SPELLOUT, icu::Locale("fr"), status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "ICU spell-out unavailable: %s\n", u_errorName(status));
        return 1;
    }

    // One round of each first, so neither pays for warming up.
    medianNsPerCall(values, [](qint32 v) { return size_t(mValToChar::ValToChar(v).size()); });
    const double ours =
        medianNsPerCall(values, [](qint32 v) { return size_t(mValToChar::ValToChar(v).size()); });
    const double theirs = medianNsPerCall(values, [&](qint32 v) {
        icu::UnicodeString out;
        icu.format(int32_t(v), out);
        return size_t(out.length());
    });

    std::printf("ValToChar, %d random values over 0..2147483647, median per call\n", kBatch * kBatches);
    std::printf("  mValToChar::ValToChar : %8.1f ns\n", ours);
    std::printf("  ICU spell-out (fr)    : %8.1f ns\n", theirs);
    std::printf("  ratio                 : %8.1f x faster\n", theirs / ours);
    return 0;
}
