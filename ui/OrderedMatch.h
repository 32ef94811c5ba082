#pragma once
// Pairs the entries of a new list with those of the old one that carry the
// same key, so that a node can stay where its entry stayed.
#include <cstddef>
#include <deque>
#include <map>
#include <vector>

// No old entry: the new one is added.
constexpr ptrdiff_t kUnmatched = -1;

// Picks, among increasing runs of `sequence` (kUnmatched skipped), a longest one.
std::vector<bool> longestIncreasingRun(const std::vector<ptrdiff_t>& sequence);

// For each new entry, the index of the old entry of the same key, or
// kUnmatched; equal keys pair in their order. Of the pairs,
// longestIncreasingRun tells which keep their place: the others moved.
template <typename Key>
std::vector<ptrdiff_t> pairByKey(const std::vector<Key>& oldKeys, const std::vector<Key>& newKeys)
{
    std::map<Key, std::deque<ptrdiff_t>> waiting;
    for (size_t i = 0; i < oldKeys.size(); ++i)
        waiting[oldKeys[i]].push_back(static_cast<ptrdiff_t>(i));
    std::vector<ptrdiff_t> match(newKeys.size(), kUnmatched);
    for (size_t i = 0; i < newKeys.size(); ++i) {
        auto found = waiting.find(newKeys[i]);
        if (found == waiting.end() || found->second.empty())
            continue;
        match[i] = found->second.front();
        found->second.pop_front();
    }
    return match;
}
