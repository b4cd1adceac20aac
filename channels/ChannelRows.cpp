#include "ChannelRows.h"

#include "Main.h"

namespace ChannelRows {

Channel* Record(Main& main, int64_t id) {
    if (!IsChannelId(id)) return nullptr;
    return main.SBChannel[static_cast<size_t>(id)].get();
}

}  // namespace ChannelRows
