#include "ui/OrderedMatch.h"

#include <algorithm>

// Patience sorting: tails[k] ends the best run of length k + 1 found so far.
std::vector<bool> longestIncreasingRun(const std::vector<ptrdiff_t>& sequence)
{
    std::vector<size_t> tails;
    std::vector<ptrdiff_t> before(sequence.size(), kUnmatched);
    for (size_t i = 0; i < sequence.size(); ++i) {
        if (sequence[i] == kUnmatched)
            continue;
        const auto at = std::lower_bound(tails.begin(), tails.end(), sequence[i],
                                         [&](size_t tail, ptrdiff_t value) { return sequence[tail] < value; });
        if (at != tails.begin())
            before[i] = static_cast<ptrdiff_t>(*(at - 1));
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    std::vector<bool> kept(sequence.size(), false);
    for (ptrdiff_t i = tails.empty() ? kUnmatched : static_cast<ptrdiff_t>(tails.back()); i != kUnmatched;
         i = before[static_cast<size_t>(i)])
        kept[static_cast<size_t>(i)] = true;
    return kept;
}
