// Fuzz target: the numeric reading of a typed line length. It must end, never crash, and a
// reading that rounds into the 16-bit range must give a whole number within it.

#include "settings/numericreading.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = quorvik::NumericReading(text);
    int whole = 12345;
    if (quorvik::RoundToShort(value, whole)) {
        if (whole < -32768 || whole > 32767 || std::fabs(whole - value) > 0.5)
            std::abort();
    } else if (whole != 12345 || (std::isfinite(value) && std::fabs(value) < 32767.5)) {
        std::abort();
    }
    return 0;
}
