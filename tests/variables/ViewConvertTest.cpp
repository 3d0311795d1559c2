#include <gtest/gtest.h>

#include <QLocale>

#include "base/Errors.h"
#include "variables/CVariableViewConvert.h"

using voltaris::CVariableViewConvert;

TEST(CVariableViewConvert, MeasuredSinglesAsText) {
    const struct {
        qint16 code;
        float value;
        const char* dot;
        const char* comma;
    } cases[] = {
        {0, 230.4f, "230.4V", "230,4V"},      // 2304 at step 4
        {6, 12345.0f, "12.34KA", "12,34KA"},  // 1234 at step 6
        {10, -1500.0f, "-1500W", "-1500W"},   // step 5 has no decimals
        {25, 2.5e7f, "25.00MW", "25,00MW"},   // 2500 at step 9
        {6, 0.0123f, "0.012A", "0,012A"},     // 12 at step 2
        {26, 0.0005f, "0.000VA", "0,000VA"},
        {20, -0.95f, "C.950", "C,950"},  // 950 at the fixed step 2
        {20, 0.95f, "L.950", "L,950"},
        {28, 1.0f, "1.000", "1,000"},
        {58, 0.5f, "L.500", "L,500"},
        {21, -0.9996f, "C1.000", "C1,000"},  // rounds to -1000: the mark keeps the 1
        {22, 0.0f, "L0", "L0"},              // a zero stays at step 5
        {30, 2.5f, "2.5%", "2,5%"},          // 25 at the fixed step 4
        {29, 50.0f, "50.00Hz", "50,00Hz"},   // 5000 at the fixed step 3
        {29, 49.98f, "49.98Hz", "49,98Hz"},
        {19, -1.0f, "OK", "OK"},
        {19, 1.0f, "NO OK", "NO OK"},
        {19, -0.99f, "NO OK", "NO OK"},
        {19, 0.0f, "NO OK", "NO OK"},
    };
    CVariableViewConvert dot(QStringLiteral("."));
    CVariableViewConvert comma(QStringLiteral(","));
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " value " << c.value);
        dot.VariableFloat(c.code, c.value);
        comma.VariableFloat(c.code, c.value);
        EXPECT_EQ(dot.ElettricDataString(), QString::fromUtf8(c.dot));
        EXPECT_EQ(comma.ElettricDataString(), QString::fromUtf8(c.comma));
        EXPECT_EQ(dot.VariableType().Variable(), c.code);
    }
}

TEST(CVariableViewConvert, StoredIntegersAsText) {
    const struct {
        qint16 code;
        qint16 integer;
        qint16 step;
        const char* text;
    } cases[] = {
        {24, 8280, 4, "828.0V"},   {6, 5, 3, "0.05A"},        {6, -5, 3, "-0.05A"},
        {13, 1111, 0, "11.11mVA"}, {10, 1111, 12, "11.11GW"}, {10, 1111, 16, "111.1TW"},
        {10, 1111, 17, "1111TW"},  {20, -950, 2, "C.950"},    {20, 95, 3, "L0.95"},
        {19, -1, 5, "OK"},         {19, 1, 5, "NO OK"},
    };
    CVariableViewConvert view(QStringLiteral("."));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        view.VariableIntDPScale(c.code, c.integer, c.step);
        EXPECT_EQ(view.ElettricDataString(), QString::fromUtf8(c.text));
    }
}

TEST(CVariableViewConvert, StepOutsideTheTableIsAnIndexError) {
    CVariableViewConvert view(QStringLiteral("."));
    view.VariableIntDPScale(0, 2304, 4);
    EXPECT_THROW(view.VariableIntDPScale(0, 2304, 18), voltaris::IndexError);
    EXPECT_EQ(view.ElettricDataString(), QStringLiteral("230.4V"));
}

TEST(CVariableViewConvert, SeparatorDefaultsToTheUsersLocale) {
    CVariableViewConvert view;
    EXPECT_EQ(view.decimalPoint(), QLocale::system().decimalPoint());
    view.VariableFloat(0, 230.4f);
    EXPECT_EQ(view.ElettricDataString(),
              QStringLiteral("230") + QLocale::system().decimalPoint() + QStringLiteral("4V"));
    view.setDecimalPoint(QStringLiteral(","));
    EXPECT_EQ(view.ElettricDataString(), QStringLiteral("230,4V"));
}
