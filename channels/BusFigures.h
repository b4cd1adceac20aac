#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

// The bus figures behind the three bus pop-ups, as plain arithmetic on the
// bus parameters.
namespace BusFigures {

struct SubFrameMode {
    int32_t ControlSize;     // control-space slots at the start of each subframe
    int32_t SubFrameLength;  // slots per subframe
};

// What the bus figure labels show without valid settings.
inline const QString kNoFigure = QStringLiteral("???");

// The pair of a subframe mode row; none for a row the pop-up does not have.
std::optional<SubFrameMode> SubFrameModeOfRow(int32_t row);

// Figures are shown only for a root frequency and a usable clock gear (1 to 10).
bool Valid(int32_t rootFrequency, int32_t clockGear);

// Calls f(rootFrequency, clockGear) for every pair the root frequency and
// clock gear pop-ups can give that has figures.
void ForEveryValidSetting(const std::function<void(int32_t, int32_t)>& f);

// The actual bus frequency in MHz, truncated to whole kHz.
double ActualBusFrequencyMHz(int32_t rootFrequency, int32_t clockGear);

// The bandwidth left for messages in the control space, in kbps truncated to
// tenths; none while no subframe length is set.
std::optional<double> ControlBandwidthKbps(int32_t rootFrequency, int32_t clockGear,
                                           int32_t controlSize, int32_t subFrameLength);

// Every text the bus frequency and control bandwidth labels can show, over
// every root frequency, clock gear and subframe mode row: what the labels
// must have room for.
QStringList BusFrequencyTexts();
QStringList ControlBandwidthTexts();

}  // namespace BusFigures
