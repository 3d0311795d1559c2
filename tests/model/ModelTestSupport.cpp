#include "ModelTestSupport.h"

#include <limits>

#include "base/SettingsStore.h"

namespace voltaris::test {

void SettingsFixture::SetUp() {
    storeFile = dir.file(QStringLiteral("Voltaris.ini"));
    SettingsStore::setFileOverride(storeFile);
}

void SettingsFixture::TearDown() {
    SettingsStore::setFileOverride({});
}

QVariantList storedValues(const CRecord& record) {
    QVariantList out;
    for (const FieldDef& f : record.Fields())
        out << record.Get(record.Properties()[f.property], f.index);
    return out;
}

void fillDistinct(CRecord& record, int seed) {
    // The first values of each width are its extremes, so that every record stores them.
    const qint16 extremes16[] = {std::numeric_limits<qint16>::min(),
                                 std::numeric_limits<qint16>::max(), -1};
    const qint32 extremes32[] = {std::numeric_limits<qint32>::min(),
                                 std::numeric_limits<qint32>::max(), -70000};
    int n = 0;
    int n16 = 0;
    int n32 = 0;
    for (const PropertyDef& def : record.Properties()) {
        for (int i = 0; i < def.count; ++i, ++n) {
            QVariant v;
            switch (def.type) {
                case PropType::Int16:
                    v = QVariant::fromValue(n16 < 3 ? extremes16[n16] : qint16(seed * 100 + n));
                    ++n16;
                    break;
                case PropType::Int32:
                    v = QVariant::fromValue(n32 < 3 ? extremes32[n32] : qint32(seed * 100000 + n));
                    ++n32;
                    break;
                case PropType::Single:
                    v = QVariant::fromValue(float(seed) + 0.25f * float(n));
                    break;
                case PropType::Text:
                    v = QStringLiteral("Quadro %1-%2 \u00e8 \u00b5").arg(seed).arg(n);
                    break;
                case PropType::Bool:
                    v = QVariant(true);
                    break;
                case PropType::UInt8:
                    v = QVariant::fromValue(quint8(200 + seed % 50));
                    break;
            }
            record.Set(def, i, v);
        }
    }
}

QStringList Fields(const FieldProblems& problems) {
    QStringList out;
    for (const FieldProblem& p : problems)
        out << p.field;
    return out;
}

std::string Text(const FieldProblems& problems) {
    QStringList out;
    for (const FieldProblem& p : problems)
        out << p.message();
    return out.join(QLatin1Char('\n')).toStdString();
}

}  // namespace voltaris::test
