#include "pipeline/BuildUi.h"

#include "pipeline/BuildTexts.h"

#include <algorithm>
#include <cmath>

namespace pw {

int StepPercent(double position)
{
    // The entries file's short way from kProgressPacked on belongs to no step of its own: it shows the
    // packing as done.
    const bool cabinet = position >= kProgressEntriesWritten;
    const double start = cabinet ? kProgressEntriesWritten : kProgressPackingStart;
    const double end = cabinet ? kProgressEnd : kProgressPacked;
    // Rounded down, so that 100% means the step has ended; the allowance keeps a position such as
    // 102.99, which is 0.98999... past 102 in binary, at the percentage it names.
    constexpr double allowance = 1e-9;
    const int percent = int(std::floor((position - start) * 100 / (end - start) + allowance));
    return std::clamp(percent, 0, 100);
}

QString StopHint(const BuildTexts& texts, const QString& key)
{
    return key.isEmpty() ? QString() : QStringLiteral("  ") + texts.StopKeyStr.arg(key);
}

}  // namespace pw
