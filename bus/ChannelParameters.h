#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "Channel.h"

// The nine parameters of a channel, in the order the channel list shows them
// below the channel's row: the row's label, the record field the row shows
// and sets, the items of the row's value menu, and whether a committed value
// moves the channel's segments (new rates and a redrawn channel layer).
// The list's order is not the record's: "CL" comes before "DT".
struct ChannelParameter {
    const char* Label;
    int32_t Channel::*Field;
    std::span<const char* const> Menu;
    bool MovesSegments;
};

namespace ChannelParameterMenus {
// A code item's text begins with its code and " - "; the other items only
// say what the value may be, or open the calculator.
inline constexpr const char* kSegmentLength[] = {"1 to 31 slots"};
inline constexpr const char* kSegmentDistribution[] = {"Segment Distribution Calculator"};
inline constexpr const char* kTransportProtocol[] = {
    "0 - Isochronous Protocol",
    "1 - Pushed Protocol",
    "2 - Pulled Protocol",
    "3 - Locked Protocol",
    "4 - Asynchronous Protocol / Simplex",
    "5 - Asynchronous Protocol / half-duplex",
    "6 - Extended Asynchronous Protocol / Simplex",
    "7 - Extended Asynchronous Protocol / half-duplex",
    "14 - User Defined Protocol 1",
    "15 - User Defined Protocol 2"};
inline constexpr const char* kFrequencyLocked[] = {"0 - Frequency unlocked",
                                                   "1 - Frequency locked"};
inline constexpr const char* kPresenceRate[] = {
    "0 - Not Indicated", "1 - 12kHz",    "2 - 24kHz",     "3 - 48kHz",     "4 - 96kHz",
    "5 - 192kHz",        "6 - 384kHz",   "7 - 768kHz",    "9 - 11.025kHz", "10 - 22.05kHz",
    "11 - 44.1kHz",      "12 - 88.2kHz", "13 - 176.4kHz", "14 - 352.8kHz", "15 - 705.6kHz",
    "16 - 4kHz",         "17 - 8kHz",    "18 - 16kHz",    "19 - 32kHz",    "20 - 64kHz",
    "21 - 128kHz",       "22 - 256kHz",  "23 - 512kHz"};
inline constexpr const char* kAuxFormat[] = {"0 - Not applicable", "1 - IEC60958 Tunneling"};
inline constexpr const char* kChannelLink[] = {"0 - Channel not linked", "1 - Channel linked"};
inline constexpr const char* kDataType[] = {
    "0 - Not Indicated", "1 - LPCM audio", "2 - IEC61937 Compressed audio", "3 - Packed PDM audio"};
inline constexpr const char* kDataLength[] = {"0 - Not Indicated", "1 to 31 slots respectively"};
}  // namespace ChannelParameterMenus

inline constexpr std::array<ChannelParameter, 9> kChannelParameters = {{
    {"SL", &Channel::SegmentLength, ChannelParameterMenus::kSegmentLength, true},
    {"SD", &Channel::SegmentDistribution, ChannelParameterMenus::kSegmentDistribution, true},
    {"TP", &Channel::TransportProtocol, ChannelParameterMenus::kTransportProtocol, false},
    {"FL", &Channel::FrequencyLocked, ChannelParameterMenus::kFrequencyLocked, false},
    {"PR", &Channel::PresenceRate, ChannelParameterMenus::kPresenceRate, false},
    {"AF", &Channel::AuxFormat, ChannelParameterMenus::kAuxFormat, false},
    {"CL", &Channel::ChannelLink, ChannelParameterMenus::kChannelLink, false},
    {"DT", &Channel::DataType, ChannelParameterMenus::kDataType, false},
    {"DL", &Channel::DataLength, ChannelParameterMenus::kDataLength, false},
}};

constexpr int kChannelParameterCount = static_cast<int>(kChannelParameters.size());

// The parameter shown `offset` rows below its channel's row (1 for the
// first); nullptr for any other offset.
constexpr const ChannelParameter* ParameterAtRowOffset(int64_t offset) {
    if (offset < 1 || offset > kChannelParameterCount) return nullptr;
    return &kChannelParameters[static_cast<size_t>(offset - 1)];
}

// The row offset, below its channel's row, of the parameter that shows
// `field`; 0 for a field no parameter shows.
constexpr int RowOffsetOf(int32_t Channel::*field) {
    for (int k = 0; k < kChannelParameterCount; ++k)
        if (kChannelParameters[static_cast<size_t>(k)].Field == field) return k + 1;
    return 0;
}

// Frees a record for its channel ID: not in use, not listed, every parameter
// and figure 0. The colour and the controller's event id stay.
inline void FreeChannelRecord(Channel& channel) {
    channel.Status = 0;
    channel.RowID = -1;
    for (const ChannelParameter& parameter : kChannelParameters) channel.*parameter.Field = 0;
    channel.Rate = 0.0;
    channel.Bandwidth = 0.0;
}
