#pragma once
// gtest prints channel records readably.
#include <ostream>

#include "Channel.h"
#include "CoreTestSupport.h"

// A record in one line, its fields in declaration order.
inline void PrintTo(const Channel& channel, std::ostream* os) {
    *os << "{SD " << channel.SegmentDistribution << ", SL " << channel.SegmentLength << ", TP "
        << channel.TransportProtocol << ", FL " << channel.FrequencyLocked << ", PR "
        << channel.PresenceRate << ", AF " << channel.AuxFormat << ", DT " << channel.DataType
        << ", CL " << channel.ChannelLink << ", DL " << channel.DataLength << ", status "
        << channel.Status << ", colour ";
    PrintTo(channel.BoxColor, os);
    *os << ", rate " << channel.Rate << ", row " << channel.RowID << ", bandwidth "
        << channel.Bandwidth << ", event " << channel.Editable << "}";
}
