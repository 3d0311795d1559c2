#include "base/ResString.h"
#include "tabulon/TabulonTypes.h"

extern const char grevlon_strings[];
extern const std::size_t grevlon_strings_size;

namespace grevlon {

namespace {

const voltaris::StringTable& table() {
    static const voltaris::StringTable t = voltaris::StringTable::parse(
        QByteArray::fromRawData(grevlon_strings, static_cast<qsizetype>(grevlon_strings_size)),
        QStringLiteral("grevlon_strings.txt"));
    return t;
}

}  // namespace

QString GrevlonString(int id) {
    return table().text(id);
}

QString LanguageText(eLanguage language, int offset) {
    return GrevlonString(int(language) * 100 + offset);
}

}  // namespace grevlon
