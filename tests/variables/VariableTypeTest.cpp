#include <gtest/gtest.h>

#include <set>

#include "variables/CVariableType.h"

using voltaris::CVariableType;

namespace {

std::set<int> codes(std::initializer_list<std::pair<int, int>> ranges) {
    std::set<int> s;
    for (const auto& [first, last] : ranges)
        for (int c = first; c <= last; ++c)
            s.insert(c);
    return s;
}

// Every catalogue code, its neighbours outside the catalogue and the 16-bit extremes.
std::set<int> probes() {
    std::set<int> p = codes({{-2, 62}});
    p.insert({255, 256, -32768, 32767});
    return p;
}

}  // namespace

TEST(CVariableType, PredicatesHoldForExactlyTheirCodes) {
    const struct {
        const char* name;
        bool (CVariableType::*predicate)() const;
        std::set<int> codes;
    } cases[] = {
        {"IsDMD", &CVariableType::IsDMD, codes({{32, 42}, {49, 49}, {56, 57}})},
        {"IsPower", &CVariableType::IsPower, codes({{10, 18}, {25, 27}, {35, 42}, {53, 57}})},
        {"IsPowerSystem", &CVariableType::IsPowerSystem, codes({{25, 27}})},
        {"IsPowerActive", &CVariableType::IsPowerActive,
         codes({{10, 12}, {25, 25}, {35, 37}, {41, 41}, {53, 56}})},
        {"IsPowerReactive", &CVariableType::IsPowerReactive, codes({{16, 18}, {27, 27}})},
        {"IsPowerApparente", &CVariableType::IsPowerApparente,
         codes({{13, 15}, {26, 26}, {38, 40}, {42, 42}, {57, 57}})},
        {"IsPowerActiveSystem", &CVariableType::IsPowerActiveSystem, codes({{25, 25}})},
        {"IsPowerReactiveSystem", &CVariableType::IsPowerReactiveSystem, codes({{27, 27}})},
        {"IsPowerApparenteSystem", &CVariableType::IsPowerApparenteSystem, codes({{26, 26}})},
        {"IsVoltStella", &CVariableType::IsVoltStella, codes({{0, 2}, {23, 23}})},
        {"IsVoltConcatenata", &CVariableType::IsVoltConcatenata, codes({{3, 5}, {24, 24}})},
        {"IsAmpere", &CVariableType::IsAmpere, codes({{6, 9}, {32, 34}, {48, 52}})},
        {"IsPFFase", &CVariableType::IsPFFase, codes({{20, 22}, {58, 60}})},
        {"IsPFSys", &CVariableType::IsPFSys, codes({{28, 28}})},
        {"IsASY", &CVariableType::IsASY, codes({{30, 31}})},
        {"IsHZ", &CVariableType::IsHZ, codes({{29, 29}})},
        {"IsEnergyHourCounters", &CVariableType::IsEnergyHourCounters, codes({{43, 47}})},
        {"IsPhaseSequence", &CVariableType::IsPhaseSequence, codes({{19, 19}})},
    };
    for (const auto& c : cases) {
        for (int code : probes()) {
            const CVariableType type(static_cast<qint16>(code));
            EXPECT_EQ((type.*c.predicate)(), c.codes.count(code) == 1)
                << c.name << " for code " << code;
        }
    }
}

TEST(CVariableType, UnitIsThatOfTheFirstClassThatApplies) {
    // 49 ("A Max dmd") is a current before it is a demand; 57 an apparent power.
    const struct {
        const char* unit;
        std::set<int> codes;
    } units[] = {
        {"A", codes({{6, 9}, {32, 34}, {48, 52}})},
        {"V", codes({{0, 5}, {23, 24}})},
        {"W", codes({{10, 12}, {25, 25}, {35, 37}, {41, 41}, {53, 56}})},
        {"VA", codes({{13, 15}, {26, 26}, {38, 40}, {42, 42}, {57, 57}})},
        {"var", codes({{16, 18}, {27, 27}})},
        {"Hz", codes({{29, 29}})},
        {"%", codes({{30, 31}})},
    };
    for (int code : probes()) {
        QString expected;
        for (const auto& u : units)
            if (u.codes.count(code))
                expected = QString::fromUtf8(u.unit);
        EXPECT_EQ(CVariableType(static_cast<qint16>(code)).UnitaIngegneristica(), expected)
            << "code " << code;
    }
}

TEST(CVariableType, DefaultsToCodeZeroAndFollowsSetVariable) {
    CVariableType type;
    EXPECT_EQ(type.Variable(), 0);
    EXPECT_TRUE(type.IsVoltStella());
    type.setVariable(29);
    EXPECT_EQ(type.Variable(), 29);
    EXPECT_TRUE(type.IsHZ());
    EXPECT_FALSE(type.IsVoltStella());
}
