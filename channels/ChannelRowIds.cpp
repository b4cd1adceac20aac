#include "ChannelRowIds.h"

#include <limits>

#include "Text.h"

namespace ChannelRows {

int32_t IdOfText(const QString& text) {
    const int64_t id = CLong(text);
    if (id > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (id < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(id);
}

}  // namespace ChannelRows
