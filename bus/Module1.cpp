#include "Module1.h"

#include <cmath>
#include <iterator>

#include "BusSettingRows.h"

#include "MsgBox.h"
#include "Text.h"

namespace Module1 {

int32_t iRootFrequency = 0;
int32_t iClockGear = 0;
int32_t iControlSize = 0;
int32_t iSubFrameLength = 0;
std::array<int32_t, kSlotCount + 1> SuperFrameSlot{};

void BuildSlotMap() {
    if (iSubFrameLength <= 0) return;
    const int32_t subframes = ToInt32(static_cast<double>(kSlotCount) / iSubFrameLength);
    for (int32_t i = 0; i < subframes; ++i) {
        for (int32_t j = 0; j < iSubFrameLength; ++j) {
            const int64_t slot = static_cast<int64_t>(i) * iSubFrameLength + j;
            if (slot >= kSlotCount) return;
            SuperFrameSlot[static_cast<size_t>(slot)] =
                j < iControlSize ? kControlSpace : kFreeSlot;
        }
    }
}

int32_t RootFrequencyOfRow(int32_t row) {
    if (row < 0 || row >= std::ssize(kRootFrequencyRows)) return -1;
    return kRootFrequencyRows[row].Hz;
}

namespace {
constexpr int kPrimes[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53};
constexpr int kPrimeCount = sizeof(kPrimes) / sizeof(kPrimes[0]);

void Factor(int32_t value, int (&exponents)[kPrimeCount]) {
    int32_t x = value;
    for (int p = 0; p < kPrimeCount; ++p) {
        while (true) {
            const double q = static_cast<double>(x) / kPrimes[p];
            if (q != std::floor(q)) break;
            ++exponents[p];
            x = ToInt32(q);
            if (x == 0) return;  // only for a zero value, which callers refuse
        }
        if (x == 1) return;
    }
}
}  // namespace

int32_t GCD(int32_t iX, int32_t iY) {
    int ex[kPrimeCount] = {};
    int ey[kPrimeCount] = {};
    if (iX == 0)
        MsgBox(QStringLiteral("Error: GCD iX=0"));
    else
        Factor(iX, ex);
    if (iY == 0)
        MsgBox(QStringLiteral("Error: GCD iY=0"));
    else
        Factor(iY, ey);
    double result = 1;
    for (int p = 0; p < kPrimeCount; ++p) {
        const int common = ex[p] < ey[p] ? ex[p] : ey[p];
        if (common != 0) result = ToInt32(result * std::pow(kPrimes[p], common));
    }
    return ToInt32(result);
}

int32_t Bit_Test(int32_t value, int32_t bit) {
    const int32_t shifted = ToInt32(std::floor(value / std::pow(2.0, bit)));
    return shifted % 2;
}

int32_t Bit_Set(int32_t value, int32_t bit, int32_t state) {
    const double power = std::pow(2.0, bit);
    if (state == 1) return Bit_Test(value, bit) == 0 ? ToInt32(value + power) : value;
    return Bit_Test(value, bit) == 1 ? ToInt32(value - power) : value;
}

namespace {
// The highest set bit among bits 9..0, or -1 when none is set.
int32_t MarkerBit(int32_t code) {
    for (int32_t n = 9; n >= 0; --n)
        if (Bit_Test(code, n) == 1) return n;
    return -1;
}
bool PowerOfTwoFamily(int32_t code) { return Bit_Test(code, 11) == 1 && Bit_Test(code, 10) == 1; }
}  // namespace

int32_t SD2SI(int32_t code) {
    if (code > 4095) return 0;
    const int32_t multiplier = PowerOfTwoFamily(code) ? 1 : 3;
    const int32_t n = MarkerBit(code);
    return ToInt32(multiplier * std::pow(2.0, n < 0 ? 0 : n));
}

int32_t SD2SO(int32_t code) {
    if (code > 4095) return 0;
    // Without a marker the family field stands one place lower (2048 gives 1).
    const int32_t n = MarkerBit(code);
    double offset = 0;
    if (!PowerOfTwoFamily(code))
        offset = Bit_Test(code, 10) * std::pow(2.0, n) + Bit_Test(code, 11) * std::pow(2.0, n + 1);
    for (int32_t k = n - 1; k >= 0; --k) offset += Bit_Test(code, k) * std::pow(2.0, k);
    return ToInt32(offset);
}

int32_t CalculateSegmentDistribution(int32_t offset, int32_t interval) {
    int32_t m = 0;
    if (interval >= 4) {
        if (interval % 6 == 0)
            m = 3;
        else if (interval % 4 == 0)
            m = 1;
    } else if (interval == 3) {
        m = 3;
    } else if (interval == 2) {
        m = 1;
    }
    // An interval without a code (no multiplier, or a quotient that is not a
    // power of two up to 2^9) gets 0, the code for none.
    if (m == 0) return 0;
    // Rounded, so that a quotient of 2^n never lands just below n.
    const int32_t n =
        ToInt32(std::round(std::log(static_cast<double>(interval) / m) / std::log(2.0)));
    if (n < 0 || n > 9 || (int32_t{1} << n) * m != interval) return 0;
    double code = std::pow(2.0, n);
    code += Bit_Set(Bit_Set(offset, n, 0), n + 1, 0);
    code += 1024.0 * Bit_Test(offset, n);
    code += 2048.0 * Bit_Test(offset, n + 1);
    if (m == 1) code += 3072;
    return ToInt32(code);
}

}  // namespace Module1
