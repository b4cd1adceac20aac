#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

struct Channel;

// A channel's rate and bandwidth from the bus parameters and its segment
// distribution and segment length.
namespace ChannelFigures {

// Segments per second; none when the code decodes to no segment interval
// (codes above 4095).
std::optional<double> SegmentRate(int32_t rootFrequency, int32_t clockGear,
                                  int32_t segmentDistribution);

// Bits per second: 4 bits per slot, segmentLength slots per segment.
double Bandwidth(double rate, int32_t segmentLength);

// Stores the channel's rate and bandwidth for the current bus settings, as
// the list shows them; without valid settings or a usable code the channel
// keeps the figures stored last.
void UpdateFigures(Channel& channel);

// The cell texts without valid bus settings.
inline const QString kNoRateText = QStringLiteral("??? kHz");
inline const QString kNoBandwidthText = QStringLiteral("??? kbps");

// The cell texts, truncated to whole Hz and bit/s: "48kHz", "705.6kbps".
QString RateText(double rate);
QString BandwidthText(double bandwidth);

// Every rate and bandwidth text a channel row can show: any valid bus
// setting, a segment length of 1 to 31 and a code with a segment interval.
// What the list's figure columns must have room for.
QStringList RateTexts();
QStringList BandwidthTexts();

}  // namespace ChannelFigures
