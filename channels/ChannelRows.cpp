#include "ChannelRows.h"

#include "Main.h"

namespace {
constexpr int64_t kChannelIds = 256;
}

namespace ChannelRows {

Channel* Record(Main& main, int64_t id) {
    if (id < 0 || id >= kChannelIds) return nullptr;
    return main.SBChannel[static_cast<size_t>(id)].get();
}

}  // namespace ChannelRows
