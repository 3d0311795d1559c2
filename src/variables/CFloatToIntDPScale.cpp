#include "variables/CFloatToIntDPScale.h"

#include <cmath>
#include <limits>
#include <optional>

#include "base/CTraceCode.h"
#include "variables/GlobalScale.h"

namespace voltaris {

namespace {

constexpr int kOverflowError = 6;

QString floatText(float value) {
    return QString::number(static_cast<double>(value), 'g', 7);
}

// Nearest integer, halves to the even neighbour; nothing when it does not fit 16 bits.
std::optional<qint16> roundToInt16(float value) {
    const double x = value;
    if (!std::isfinite(x))
        return std::nullopt;
    double r = std::floor(x);
    const double diff = x - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    if (r < std::numeric_limits<qint16>::min() || r > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(r);
}

}  // namespace

void CFloatToIntDPScale::setFloatValue(float value) {
    m_Float = value;
    m_DPScaleTarget = -1;
    ConvertFloatToDPScale();
}

void CFloatToIntDPScale::SetFloatValue(float value, qint16 DPTarget) {
    m_Float = value;
    m_DPScaleTarget = DPTarget;
    ConvertFloatToDPScaleTarget();
}

void CFloatToIntDPScale::IntDPScale(qint16 integer, qint16 step) {
    (void)GlobalScale::Row(step);
    m_IntValue = integer;
    m_DPScale = step;
    ConvertIntDPScaleToFloat();
}

void CFloatToIntDPScale::ConvertIntDPScaleToFloat() {
    m_Float = static_cast<float>(m_IntValue) * GlobalScale::Factor(m_DPScale);
}

void CFloatToIntDPScale::overflow() {
    g_Trace().BugMessage(
        QStringLiteral("Errore nr. %1 in ConvertFloatToDPScale():Overflow").arg(kOverflowError));
    g_Trace().BugMessage(QStringLiteral("m_Float=") + floatText(m_Float));
}

void CFloatToIntDPScale::ConvertFloatToDPScale() {
    g_Trace().BugMessage(QStringLiteral("ConvertFloatToDPScale m_Float=") + floatText(m_Float));
    float x = m_Float;
    const float a = std::fabs(x);
    qint16 step;
    if (a == 0.0f || (a >= 0.001f && a < 10.0f)) {
        x *= 1000.0f;
        step = 2;
    } else if (a >= 10.0f && a < 100.0f) {
        x *= 100.0f;
        step = 3;
    } else if (a >= 100.0f && a < 1000.0f) {
        x *= 10.0f;
        step = 4;
    } else if (a >= 1000.0f && a < 10000.0f) {
        step = 5;
    } else if (a < 0.001f) {
        x = 0.0f;
        step = 2;
    } else {
        // Stops one past the last step so that an infinite value cannot loop for ever; the
        // check below fails for it as for any value of 10^16 or more.
        step = 5;
        while (std::fabs(x) >= 10000.0f && step < GlobalScale::StepCount) {
            x /= 10.0f;
            ++step;
        }
    }

    m_IntValue = 0;
    m_DPScale = 2;
    if (step > GlobalScale::StepCount - 1) {
        g_Trace().BugAssert(false,
                            QStringLiteral("Valore float da convertire troppo grande: Info>17"));
        return;
    }
    const std::optional<qint16> n = roundToInt16(x);
    if (!n) {
        overflow();
        return;
    }
    m_IntValue = *n;
    m_DPScale = step;
}

void CFloatToIntDPScale::ConvertFloatToDPScaleTarget() {
    g_Trace().BugMessage(QStringLiteral("ConvertFloatToDPScaleTarget m_Float=") +
                         floatText(m_Float) + QStringLiteral(" m_DPScaleTarget=") +
                         QString::number(m_DPScaleTarget));
    float x = m_Float;
    qint16 i = GlobalScale::DefaultStep;
    while (i != m_DPScaleTarget) {
        if (x == 0.0f)
            break;
        if (i < m_DPScaleTarget) {
            x /= 10.0f;
            ++i;
        } else {
            x *= 10.0f;
            --i;
        }
    }

    m_IntValue = 0;
    m_DPScale = 1;
    // Anything that rounds to 9999 fits the four digits; 9999 itself included.
    if (!(x < 9999.5f)) {
        g_Trace().BugAssert(false,
                            QStringLiteral("Conversione float con DPTarget=%1 non riuscita !!!")
                                .arg(m_DPScaleTarget));
        return;
    }
    const std::optional<qint16> n = roundToInt16(x);
    if (!n) {
        overflow();
        return;
    }
    m_IntValue = *n;
    m_DPScale = i;
}

}  // namespace voltaris
