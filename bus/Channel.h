#pragma once
#include <cstdint>

#include "Color.h"

// Channel IDs run from 0 to 255; the pool has one record for each.
constexpr int kChannelIdCount = 256;

constexpr bool IsChannelId(int64_t id) { return id >= 0 && id < kChannelIdCount; }

// One data channel of the bus. Every field is zero in a new record.
struct Channel {
    int32_t SegmentDistribution = 0;  // segment distribution code, 0 = none
    int32_t SegmentLength = 0;        // slots per segment
    int32_t TransportProtocol = 0;
    int32_t FrequencyLocked = 0;
    int32_t PresenceRate = 0;
    int32_t AuxFormat = 0;
    int32_t DataType = 0;
    int32_t ChannelLink = 0;
    int32_t DataLength = 0;
    int32_t Status = 0;  // 1 in use, 0 free
    Color BoxColor{};
    double Rate = 0.0;       // segments per second
    int32_t RowID = 0;       // the channel's row in the list, -1 when not listed
    double Bandwidth = 0.0;  // bits per second
    int32_t Editable = 0;    // event id given by a remote controller, 0 = none

    friend bool operator==(const Channel&, const Channel&) = default;
};
