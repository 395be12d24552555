// Interning 10,000 names against a std::unordered_set<std::string>: filling the store from
// scratch, and looking up names that are already there.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "engine/Initialization.h"
#include "engine/core/SSharedString.h"

namespace {

const std::vector<std::string>& names()
{
    static const std::vector<std::string> list = [] {
        std::vector<std::string> v;
        for (int i = 0; i < 10000; ++i)
            v.push_back("material/technique_" + std::to_string(i * 7919 % 100003) + "/pass");
        return v;
    }();
    return list;
}

void BM_InternFresh(benchmark::State& state)
{
    pravik::init();
    std::vector<pravik::core::SSharedString> handles;
    handles.reserve(names().size());
    for (auto _ : state) {
        for (const auto& n : names())
            handles.emplace_back(n.c_str());
        benchmark::DoNotOptimize(handles.data());
        handles.clear();   // the last handle of each name takes it out of the heap
    }
    state.SetItemsProcessed(state.iterations() * names().size());
    pravik::exit();
}

void BM_UnorderedSetFresh(benchmark::State& state)
{
    std::unordered_set<std::string> set;
    for (auto _ : state) {
        for (const auto& n : names())
            set.insert(n);
        benchmark::DoNotOptimize(set.size());
        set.clear();
    }
    state.SetItemsProcessed(state.iterations() * names().size());
}

void BM_InternExisting(benchmark::State& state)
{
    pravik::init();
    std::vector<pravik::core::SSharedString> kept;
    for (const auto& n : names())
        kept.emplace_back(n.c_str());
    for (auto _ : state) {
        for (const auto& n : names()) {
            pravik::core::SSharedString s = n.c_str();
            benchmark::DoNotOptimize(s.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * names().size());
    kept.clear();
    pravik::exit();
}

void BM_UnorderedSetExisting(benchmark::State& state)
{
    std::unordered_set<std::string> set(names().begin(), names().end());
    for (auto _ : state) {
        for (const auto& n : names()) {
            auto it = set.insert(n).first;   // what interning an existing name costs there
            benchmark::DoNotOptimize(&*it);
        }
    }
    state.SetItemsProcessed(state.iterations() * names().size());
}

} // namespace

BENCHMARK(BM_InternFresh);
BENCHMARK(BM_UnorderedSetFresh);
BENCHMARK(BM_InternExisting);
BENCHMARK(BM_UnorderedSetExisting);
