#include "ChannelRowIds.h"

#include <limits>

#include "ChannelParameters.h"
#include "Listbox.h"
#include "Text.h"

namespace ChannelRows {

int32_t IdOfText(const QString& text) {
    const int64_t id = CLong(text);
    if (id > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (id < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(id);
}

std::optional<ParameterRowPlace> ParameterRowAt(const Listbox& list, int32_t row) {
    if (row < 0 || row >= list.ListCount() || !list.Cell(row, kIdColumn).isEmpty())
        return std::nullopt;
    for (int32_t offset = 1; offset <= kChannelParameterCount && row - offset >= 0; ++offset) {
        const int32_t channelRow = row - offset;
        const QString idText = list.Cell(channelRow, kIdColumn);
        if (idText.isEmpty()) continue;
        return ParameterRowPlace{channelRow, IdOfText(idText), offset};
    }
    return std::nullopt;
}

}  // namespace ChannelRows
