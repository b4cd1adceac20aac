#include <array>

#include "BusFigures.h"
#include "ChannelFigures.h"
#include "ChannelRowIds.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "Text.h"

namespace {
using ChannelFigures::kNoBandwidthText;
using ChannelFigures::kNoRateText;
}  // namespace

void Main::DisplayChannelRate() {
    using namespace ChannelRows;
    // A channel ID may have many rows (a controller can add one twice); its
    // figures and their texts are worked out once per call, not once per row.
    struct Figures {
        bool known = false;
        QString rate;
        QString bandwidth;
    };
    std::array<Figures, kChannelIdCount> figures;

    Listbox* list = ChannelListBox();
    const bool valid = BusFigures::Valid(Module1::iRootFrequency, Module1::iClockGear);
    for (int row = 0; row < list->ListCount(); ++row) {
        const QString idText = list->Cell(row, kIdColumn);
        if (idText.isEmpty()) continue;  // a parameter row
        const int32_t id = IdOfText(idText);
        Channel* channel = ChannelRecord(id);
        if (!channel) continue;  // names no channel of the pool
        Figures& shown = figures[static_cast<size_t>(id)];
        if (!shown.known) {
            shown.known = true;
            if (!valid) {
                shown.rate = kNoRateText;
                shown.bandwidth = kNoBandwidthText;
            } else {
                ChannelFigures::UpdateFigures(*channel);
                shown.rate = ChannelFigures::RateText(channel->Rate);
                shown.bandwidth = ChannelFigures::BandwidthText(channel->Bandwidth);
            }
        }
        list->SetCell(row, kValueColumn, shown.rate);
        list->SetCell(row, kBandwidthColumn, shown.bandwidth);
    }
}
