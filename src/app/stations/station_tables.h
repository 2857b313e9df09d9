// How many stations the tables kept per station (the station list's rows, the map's
// markers and places) are made for at once: a full feed's stations, which the start-up
// burst brings within seconds. Grown as they fill, each would be made anew a dozen times
// on the way, every node touched again and every larger bucket array fresh memory.
#pragma once

#include <cstddef>

constexpr std::size_t kStationTableSize = 1 << 16;
