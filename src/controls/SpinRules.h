#pragma once

#include <QString>

namespace voltaris::controls {

// `value` in a numeric pattern of '#' (optional digit), '0' (required digit) and at most one
// '.' (shown as `decimalPoint`); other characters are ignored. Rounds the value's shortest
// decimal form to the pattern's decimals, halves away from zero; "-" only for a non-zero
// result. The float overload starts from the float's own shortest form.
QString FormatPattern(double value, const QString& pattern, const QString& decimalPoint);
QString FormatPattern(float value, const QString& pattern, const QString& decimalPoint);

// Formatted value, one blank, unit, trimmed (no blank is left when the unit is empty).
QString ComposeText(const QString& formatted, const QString& unit);
// "Min:" + formatted minimum + " Max:" + formatted maximum.
QString RangeTip(const QString& formattedMin, const QString& formattedMax);

// Above `max` becomes `max`, then below `min` becomes `min` (so `min` wins when min > max).
qint32 ClampValue(qint32 value, qint32 min, qint32 max);

// One step up or down by `increment`; a step that would pass a limit lands on the other
// limit when wrapping, on the passed limit otherwise. Computed in 64 bits.
qint32 StepValue(qint32 value, qint32 increment, bool up, qint32 min, qint32 max, bool wrap);

// The acceleration of a held key or arrow: which step the next move uses.
class SpinAcceleration {
public:
    // Starts a press: count 0, the given threshold, the slow step.
    void Start(qint16 slow, qint16 threshold);
    // One more repeat of a 16-bit field: the fast step at threshold 10, ten times that at
    // 20 (only when fast x 100 < max). The count stops at its 16-bit limit.
    void Repeat16(qint16 fast, qint32 max);
    // One more repeat of a 32-bit field: at each threshold the step grows tenfold while
    // max(|min|, |max|) x 0.1 > step x 10, and the threshold rises by `thresholdStep`.
    void RepeatLong(qint32 min, qint32 max, qint16 thresholdStep);

    qint16 Count() const { return m_count; }
    qint16 Threshold() const { return m_threshold; }
    qint32 Increment() const { return m_increment; }
    void setIncrement(qint32 increment) { m_increment = increment; }

private:
    bool Advance();

    qint16 m_count = 0;
    qint16 m_threshold = 10;
    qint32 m_increment = 1;
};

}  // namespace voltaris::controls
