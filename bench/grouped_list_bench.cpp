// The grouped list's selection with one big group, as the station list holds all its
// rows: selecting and deselecting the whole group, deselecting it item by item, and
// deleting every selected item, at 50,000 and 100,000 rows.
//
// Targets (Release): deselecting a 100,000-row group under 20 ms; every figure grows in
// proportion to the rows (twice the rows, about twice the time).
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "lists/section_grouped_list.h"
#include "platform/sys/application.h"

namespace {

struct GroupFixture {
  explicit GroupFixture(int Rows) : list(nullptr) {
    list.ItemDataSize = sizeof(int);
    list.SetSelectionOptions(soMultiSelect);
    list.BeginUpdate();
    group = list.AddItem(nullptr);
    for (int i = 0; i < Rows; ++i) list.AddItem(group);
    list.EndUpdate();
  }
  TSectionGroupedList list;
  POGLItem group;
};

int Rows(const benchmark::State& state) {
  return BenchStations(static_cast<int>(state.range(0)));
}

void BM_SelectGroup(benchmark::State& state) {
  GroupFixture fixture(Rows(state));
  for (auto _ : state) {
    fixture.list.SelectItem(fixture.group, true);
    state.PauseTiming();
    fixture.list.DeselectAll();
    state.ResumeTiming();
  }
}

void BM_DeselectGroup(benchmark::State& state) {
  GroupFixture fixture(Rows(state));
  for (auto _ : state) {
    state.PauseTiming();
    fixture.list.SelectItem(fixture.group, true);
    state.ResumeTiming();
    fixture.list.DeselectItem(fixture.group, true);
  }
}

// Item by item from the first, as a range shrinking from its start would.
void BM_DeselectItemsOneByOne(benchmark::State& state) {
  GroupFixture fixture(Rows(state));
  for (auto _ : state) {
    state.PauseTiming();
    fixture.list.SelectItem(fixture.group, true);
    state.ResumeTiming();
    for (POGLItem item = fixture.group->FirstChild; item; item = item->NextSibling) {
      fixture.list.DeselectItem(item, false);
    }
  }
}

void BM_DeleteSelectedItems(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto fixture = std::make_unique<GroupFixture>(Rows(state));
    // Item by item, so that the items go one by one and the group stays.
    for (POGLItem item = fixture->group->FirstChild; item; item = item->NextSibling) {
      fixture->list.SelectItem(item, false);
    }
    fixture->list.DeselectItem(fixture->group, false);
    state.ResumeTiming();
    fixture->list.DeleteSelectedItems();
    state.PauseTiming();
    fixture.reset();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_SelectGroup)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeselectGroup)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeselectItemsOneByOne)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteSelectedItems)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
