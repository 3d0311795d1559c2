#include "controls/SpinRules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace voltaris::controls {

namespace {

// Shortest decimal form of a finite number, without exponent ("-12.5", "0.30000001").
template <typename T>
std::string ShortestFixed(T value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

QString FormatDecimal(std::string text, const QString& pattern, const QString& decimalPoint) {
    const qsizetype point = pattern.indexOf(u'.');
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString decPattern = point < 0 ? QString() : pattern.mid(point + 1);
    const int minInt = int(intPattern.count(u'0'));
    const int decimals = int(decPattern.count(u'0') + decPattern.count(u'#'));
    const int requiredDecimals = int(decPattern.count(u'0'));

    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.erase(0, 1);
    }
    const auto dot = text.find('.');
    std::string intDigits = dot == std::string::npos ? text : text.substr(0, dot);
    std::string decDigits = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    // All digits as one integer string with `decimals` places, rounded on the next digit.
    const bool roundUp = int(decDigits.size()) > decimals && decDigits[decimals] >= '5';
    decDigits.resize(decimals, '0');
    std::string digits = intDigits + decDigits;
    if (roundUp) {
        int i = int(digits.size()) - 1;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i];
    }
    intDigits = digits.substr(0, digits.size() - decimals);
    decDigits = digits.substr(digits.size() - decimals);
    while (intDigits.size() > 1 && intDigits.front() == '0')
        intDigits.erase(0, 1);
    if (intDigits == "0")
        intDigits.clear();
    if (int(intDigits.size()) < minInt)
        intDigits.insert(0, minInt - intDigits.size(), '0');
    while (int(decDigits.size()) > requiredDecimals && decDigits.back() == '0')
        decDigits.pop_back();

    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    QString out = negative && !zero ? QStringLiteral("-") : QString();
    out += QString::fromLatin1(intDigits.data(), qsizetype(intDigits.size()));
    if (!decDigits.empty())
        out += decimalPoint + QString::fromLatin1(decDigits.data(), qsizetype(decDigits.size()));
    return out;
}

template <typename T>
QString FormatAny(T value, const QString& pattern, const QString& decimalPoint) {
    if (!std::isfinite(value))
        return QString();
    return FormatDecimal(ShortestFixed(value), pattern, decimalPoint);
}

}  // namespace

QString FormatPattern(double value, const QString& pattern, const QString& decimalPoint) {
    return FormatAny(value, pattern, decimalPoint);
}

QString FormatPattern(float value, const QString& pattern, const QString& decimalPoint) {
    return FormatAny(value, pattern, decimalPoint);
}

QString ComposeText(const QString& formatted, const QString& unit) {
    return (formatted + u' ' + unit).trimmed();
}

QString RangeTip(const QString& formattedMin, const QString& formattedMax) {
    return QStringLiteral("Min:") + formattedMin + QStringLiteral(" Max:") + formattedMax;
}

qint32 ClampValue(qint32 value, qint32 min, qint32 max) {
    if (value > max)
        value = max;
    if (value < min)
        value = min;
    return value;
}

qint32 StepValue(qint32 value, qint32 increment, bool up, qint32 min, qint32 max, bool wrap) {
    if (up) {
        if (qint64(value) + increment > max)
            return wrap ? min : max;
        return value + increment;
    }
    if (qint64(value) - increment < min)
        return wrap ? max : min;
    return value - increment;
}

void SpinAcceleration::Start(qint16 slow, qint16 threshold) {
    m_count = 0;
    m_threshold = threshold;
    m_increment = slow;
}

bool SpinAcceleration::Advance() {
    // Saturates: a press held past the limit keeps its last step.
    if (m_count < std::numeric_limits<qint16>::max())
        ++m_count;
    return m_count == m_threshold;
}

void SpinAcceleration::Repeat16(qint16 fast, qint32 max) {
    if (!Advance())
        return;
    if (m_threshold == 10) {
        m_increment = fast;
        if (qint32(fast) * 100 < max)
            m_threshold = 20;
    } else if (m_threshold == 20) {
        m_increment *= 10;
    }
}

void SpinAcceleration::RepeatLong(qint32 min, qint32 max, qint16 thresholdStep) {
    if (!Advance())
        return;
    const double bound = std::max(std::abs(double(min)), std::abs(double(max)));
    if (bound * 0.1 > double(m_increment) * 10) {
        m_increment *= 10;
        if (m_threshold <= std::numeric_limits<qint16>::max() - thresholdStep)
            m_threshold += thresholdStep;
    }
}

}  // namespace voltaris::controls
