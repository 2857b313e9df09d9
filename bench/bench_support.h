// For benchmark programs: state made once for several benchmarks (a loaded map, a
// window) must go before the application object does; AtBenchEnd runs Cleanup then.
#pragma once

#include <functional>

void AtBenchEnd(std::function<void()> Cleanup);
