#pragma once
#include <cstdint>

#include "ChannelRowIds.h"

class Main;
struct Channel;

namespace ChannelRows {

// The pool's record of a channel ID; nullptr for an ID outside 0..255 or
// before the pool is filled.
Channel* Record(Main& main, int64_t id);

}  // namespace ChannelRows
