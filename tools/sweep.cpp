// Exhaustive sweep: runs the worksheet's Calculate click for every whole
// numerator and denominator in the given ranges and checks the expansion
// against exact integer long division and the group fields against an
// independent recomputation. Prints the count checked and every mismatch
// (the first 20 in full); exits 1 when any fraction disagrees.
//
//   zelvane_sweep                                  all of 0..9999 / 3..9999
//   zelvane_sweep --denominators 3-9999 --stride 97  a sampled slice
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "actions.h"
#include "reference_expansion.h"

namespace {

struct Range {
    long first, last;
};

bool ParseRange(const char* text, Range& range) {
    const char* end = text + std::strlen(text);
    auto [p, ec] = std::from_chars(text, end, range.first);
    if (ec != std::errc() || p == end || *p != '-') {
        return false;
    }
    auto [q, ec2] = std::from_chars(p + 1, end, range.last);
    return ec2 == std::errc() && q == end && range.first <= range.last;
}

std::string Narrow(const std::u32string& text) { return std::string(text.begin(), text.end()); }

}  // namespace

int main(int argc, char** argv) {
    Range numerators{0, 9999};
    Range denominators{3, 9999};
    long stride = 1;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--numerators") && hasValue && ParseRange(argv[i + 1], numerators)) {
            ++i;
        } else if (!std::strcmp(argv[i], "--denominators") && hasValue && ParseRange(argv[i + 1], denominators)) {
            ++i;
        } else if (!std::strcmp(argv[i], "--stride") && hasValue && (stride = std::atol(argv[i + 1])) > 0) {
            ++i;
        } else if (!std::strcmp(argv[i], "--threads") && hasValue && std::atoi(argv[i + 1]) > 0) {
            threads = static_cast<unsigned>(std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr,
                         "usage: %s [--numerators FIRST-LAST] [--denominators FIRST-LAST] [--stride N] "
                         "[--threads N]\n  numerators from 0, denominators from 3; stride samples denominators\n",
                         argv[0]);
            return 2;
        }
    }
    if (numerators.first < 0 || denominators.first < 3 || denominators.last > 99999999) {
        std::fprintf(stderr, "numerators must be 0 or more, denominators 3 .. 99999999\n");
        return 2;
    }

    std::vector<long> sample;
    for (long d = denominators.first; d <= denominators.last; d += stride) {
        sample.push_back(d);
    }
    std::atomic<long> checked{0};
    std::atomic<long> mismatches{0};
    std::mutex printLock;
    std::atomic<std::size_t> next{0};

    auto worker = [&] {
        zelvane::FormState form;
        long localChecked = 0;
        for (std::size_t k; (k = next.fetch_add(1)) < sample.size();) {
            const long denominator = sample[k];
            const std::string denominatorText = std::to_string(denominator);
            for (long numerator = numerators.first; numerator <= numerators.last; ++numerator) {
                const std::string numeratorText = std::to_string(numerator);
                zelvane::OnFormLoad(form);
                form.SetText2(zelvane::kNumerator, std::u32string(numeratorText.begin(), numeratorText.end()));
                form.SetText2(zelvane::kDenominator, std::u32string(denominatorText.begin(), denominatorText.end()));
                zelvane::OnCommandClick(form, zelvane::kCalculateButton);
                const reference::Expected want = reference::ExpectedFor(numerator, denominator);
                ++localChecked;
                if (reference::SameText(form.Text2(zelvane::kExpansion), want.expansion) &&
                    reference::SameText(form.Text2(zelvane::kLeftGroup), want.left) &&
                    reference::SameText(form.Text2(zelvane::kRightGroup), want.right) &&
                    reference::SameText(form.Text2(zelvane::kSum), want.sum) &&
                    form.Command1Enabled(zelvane::kAddPartsButton)) {
                    continue;
                }
                if (mismatches.fetch_add(1) < 20) {
                    std::lock_guard lock(printLock);
                    std::printf("MISMATCH %ld / %ld: got %s %s %s %s, expected %s %s %s %s\n", numerator,
                                denominator, Narrow(form.Text2(zelvane::kExpansion)).c_str(),
                                Narrow(form.Text2(zelvane::kLeftGroup)).c_str(),
                                Narrow(form.Text2(zelvane::kRightGroup)).c_str(),
                                Narrow(form.Text2(zelvane::kSum)).c_str(), want.expansion.c_str(), want.left.c_str(),
                                want.right.c_str(), want.sum.c_str());
                }
            }
        }
        checked += localChecked;
    };
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
        pool.emplace_back(worker);
    }
    for (auto& t : pool) {
        t.join();
    }
    std::printf("checked %ld fractions (numerators %ld..%ld, %zu denominators from %ld..%ld), %ld mismatches\n",
                checked.load(), numerators.first, numerators.last, sample.size(), denominators.first,
                denominators.last, mismatches.load());
    return mismatches.load() == 0 ? 0 : 1;
}
