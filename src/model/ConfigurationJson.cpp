#include "model/ConfigurationJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <cmath>
#include <limits>

#include "model/Configuration.h"
#include "model/ModelCatalogue.h"

namespace voltaris {

namespace {

const QString kInstrModel = QStringLiteral("InstrModel");

bool IsInstrModel(const CArchiveRecord& record, const PropertyDef& def) {
    return def.name == kInstrModel && record.ClassName() == QLatin1String("CUsoInstr");
}

QJsonValue ToJsonValue(const CArchiveRecord& record, const PropertyDef& def, int index) {
    const QVariant v = record.Get(def, index);
    if (IsInstrModel(record, def)) {
        if (const ModelEntry* e = ModelCatalogue::standard().lookup(v.value<qint32>()))
            return e->name;
    }
    switch (def.type) {
        case PropType::Int16:
        case PropType::Int32:
        case PropType::UInt8:
            return v.toLongLong();
        case PropType::Single:
            return double(v.value<float>());
        case PropType::Text:
            return v.toString();
        case PropType::Bool:
            return v.toBool();
    }
    return {};
}

QJsonValue ToJsonProperty(const CArchiveRecord& record, const PropertyDef& def) {
    if (!def.indexed())
        return ToJsonValue(record, def, 0);
    QJsonArray entries;
    for (int i = 0; i < def.count; ++i)
        entries.append(ToJsonValue(record, def, i));
    return entries;
}

// A value as JSON text: the way it is written, and the way a refused one is quoted.
QByteArray JsonText(const QJsonValue& value) {
    // Most values are integers: spare them the document round.
    if (value.isDouble() &&
        value.toInteger(std::numeric_limits<qint64>::min()) != std::numeric_limits<qint64>::min())
        return QByteArray::number(value.toInteger());
    const QByteArray t = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return t.mid(1, t.size() - 2);
}

// A property as written by ConfigurationToJsonText: an array on one line.
QByteArray PropertyText(const CArchiveRecord& record, const PropertyDef& def) {
    if (!def.indexed())
        return JsonText(ToJsonValue(record, def, 0));
    QList<QByteArray> entries;
    for (int i = 0; i < def.count; ++i)
        entries.append(JsonText(ToJsonValue(record, def, i)));
    return '[' + entries.join(", ") + ']';
}

QString Quoted(const QJsonValue& value) {
    QString t = QString::fromUtf8(JsonText(value));
    if (t.size() > 40)
        t = t.left(37) + QStringLiteral("...");
    return t;
}

QString WidthText(PropType type) {
    switch (type) {
        case PropType::Int16:
            return QStringLiteral("a 16-bit integer (-32768..32767)");
        case PropType::Int32:
            return QStringLiteral("a 32-bit integer (-2147483648..2147483647)");
        case PropType::UInt8:
            return QStringLiteral("an 8-bit unsigned integer (0..255)");
        default:
            return QStringLiteral("a ") + PropTypeText(type);
    }
}

bool IsWholeNumber(const QJsonValue& value) {
    const double d = value.toDouble();
    return std::isfinite(d) && d == std::trunc(d);
}

// Line and column (from 1) of a byte offset, for parse errors.
QString Position(const QByteArray& json, int offset) {
    int line = 1, column = 1;
    for (int i = 0; i < offset && i < json.size(); ++i) {
        if (json.at(i) == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

// A JSON string token starting at `at` (the opening quote), decoded; `at` moves past it.
QString ReadString(const QByteArray& json, qsizetype& at) {
    const qsizetype start = at++;
    bool escaped = false;
    while (at < json.size() && json.at(at) != '"') {
        if (json.at(at) == '\\') {
            escaped = true;
            ++at;
        }
        ++at;
    }
    ++at;
    const QByteArray token = json.mid(start, at - start);
    if (!escaped)
        return QString::fromUtf8(token.mid(1, token.size() - 2));
    return QJsonDocument::fromJson('[' + token + ']').array().at(0).toString();
}

// Keys given twice in one object, named by their path ("CUsoInstr.RapportoTA"): the parser
// keeps the last one silently. Runs on text the parser has taken, so it is well formed.
FieldProblems DuplicateKeys(const QByteArray& json) {
    struct Level {
        bool object;
        QString path;
        QSet<QString> keys;
    };
    QList<Level> levels;
    FieldProblems problems;
    QString lastString;
    for (qsizetype at = 0; at < json.size();) {
        const char c = json.at(at);
        if (c == '"') {
            lastString = ReadString(json, at);
            continue;
        }
        if (c == ':' && !levels.isEmpty() && levels.last().object) {
            Level& level = levels.last();
            const QString path = level.path.isEmpty() ? lastString : level.path + u'.' + lastString;
            if (level.keys.contains(lastString)) {
                problems.append({path, level.path.isEmpty()
                                           ? QStringLiteral("the record is given twice")
                                           : QStringLiteral("the key is given twice")});
            }
            level.keys.insert(lastString);
            lastString = path;  // the path of a value that opens a level
        } else if (c == '{' || c == '[') {
            const QString path = levels.isEmpty() ? QString() : lastString;
            levels.append({c == '{', path, {}});
        } else if (c == '}' || c == ']') {
            levels.removeLast();
        } else if (c == ',' && !levels.isEmpty()) {
            lastString = levels.last().path;
        }
        ++at;
    }
    return problems;
}

// Reads one JSON value into one entry of a property; false (and a problem) when it has the
// wrong kind or does not fit.
bool Assign(CArchiveRecord& record, const PropertyDef& def, int index, const QJsonValue& value,
            const QString& field, FieldProblems& problems) {
    auto refuse = [&](const QString& text) {
        problems.append({field, text});
        return false;
    };
    if (IsInstrModel(record, def) && value.isString()) {
        const ModelEntry* e = ModelCatalogue::standard().findByName(value.toString());
        if (!e)
            return refuse(QStringLiteral("%1 is not a model of the catalogue").arg(Quoted(value)));
        record.Set(def, index, QVariant::fromValue(e->id));
        return true;
    }
    switch (def.type) {
        case PropType::Text:
            if (!value.isString())
                return refuse(QStringLiteral("a text expected, got %1").arg(Quoted(value)));
            break;
        case PropType::Bool:
            if (!value.isBool())
                return refuse(QStringLiteral("true or false expected, got %1").arg(Quoted(value)));
            break;
        case PropType::Single:
            if (!value.isDouble())
                return refuse(QStringLiteral("a number expected, got %1").arg(Quoted(value)));
            break;
        case PropType::Int16:
        case PropType::Int32:
        case PropType::UInt8:
            if (!value.isDouble() || !IsWholeNumber(value)) {
                const QString expected = IsInstrModel(record, def)
                                             ? QStringLiteral("a catalogue name or a number")
                                             : QStringLiteral("a whole number");
                return refuse(QStringLiteral("%1 expected, got %2").arg(expected, Quoted(value)));
            }
            break;
    }
    const QVariant given = value.toVariant();
    if (!fits(def.type, given))
        return refuse(QStringLiteral("%1 does not fit %2").arg(Quoted(value), WidthText(def.type)));
    record.Set(def, index, given);
    return true;
}

void ReadRecord(CArchiveRecord& record, const QJsonObject& object, FieldProblems& problems,
                QSet<QString>& given) {
    const QString table = record.ClassName();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const PropertyDef* def = record.FindProperty(it.key());
        if (!def || !def->stored)
            problems.append({table + u'.' + it.key(), QStringLiteral("unknown key")});
    }
    for (const PropertyDef& def : record.Properties()) {
        const auto it = object.find(def.name);
        if (!def.stored || it == object.end())
            continue;
        const QString field = table + u'.' + def.name;
        given.insert(field);
        if (!def.indexed()) {
            Assign(record, def, 0, *it, field, problems);
            continue;
        }
        if (!it->isArray()) {
            problems.append({field, QStringLiteral("an array of at most %1 values expected, got %2")
                                        .arg(def.count)
                                        .arg(Quoted(*it))});
            continue;
        }
        const QJsonArray entries = it->toArray();
        if (entries.size() > def.count) {
            problems.append({field, QStringLiteral("%1 entries, at most %2 allowed")
                                        .arg(entries.size())
                                        .arg(def.count)});
            continue;
        }
        for (int i = 0; i < entries.size(); ++i)
            Assign(record, def, i, entries.at(i), QStringLiteral("%1[%2]").arg(field).arg(i),
                   problems);
    }
}

// What the wizard pages settle on for values a new configuration leaves out.
void SettleNew(Configuration& config, const QSet<QString>& given) {
    CUsoInstr& u = config.UsoInstr();
    if (!ModelCatalogue::standard().lookup(u.InstrModel()))
        return;
    if (!given.contains(u.ClassName() + QStringLiteral(".System")))
        u.setSystem(SettledSystem(u.InstrModel()));
    for (int output = 1; output <= AnalogOutputsInUse(config); ++output) {
        CAnalogOutSetup& a = config.AnalogOutSetup(output);
        if (!given.contains(a.ClassName() + QStringLiteral(".MaxOut")) && a.MaxOut() > 100)
            a.setMaxOut(100);
    }
}

void CopyRecords(const Configuration& from, Configuration& to) {
    const QList<CArchiveRecord*>& source = from.Records();
    const QList<CArchiveRecord*>& target = to.Records();
    for (int i = 0; i < source.size(); ++i)
        target[i]->SetData(*source[i]);
}

QString BaseField(const QString& field) {
    const qsizetype bracket = field.indexOf(u'[');
    return bracket < 0 ? field : field.left(bracket);
}

// A rule broken only because the value given for that field (or its record) was refused
// is not reported a second time.
bool AlreadyNamed(const FieldProblem& p, const FieldProblems& reading) {
    const QString base = BaseField(p.field);
    const QString table = base.section(u'.', 0, 0);
    for (const FieldProblem& r : reading) {
        if (BaseField(r.field) == base || r.field == table)
            return true;
    }
    return false;
}

}  // namespace

QJsonObject ConfigurationToJson(const Configuration& config) {
    QJsonObject root;
    for (const CArchiveRecord* record : config.Records()) {
        QJsonObject object;
        for (const PropertyDef& def : record->Properties()) {
            if (def.stored)
                object.insert(def.name, ToJsonProperty(*record, def));
        }
        root.insert(record->ClassName(), object);
    }
    return root;
}

QByteArray ConfigurationToJsonText(const Configuration& config) {
    QByteArray out = "{\n";
    const QList<CArchiveRecord*>& records = config.Records();
    for (int r = 0; r < records.size(); ++r) {
        const CArchiveRecord& record = *records[r];
        out += "    " + JsonText(record.ClassName()) + ": {\n";
        QList<QByteArray> lines;
        for (const PropertyDef& def : record.Properties()) {
            if (!def.stored)
                continue;
            lines.append("        " + JsonText(def.name) + ": " + PropertyText(record, def));
        }
        out += lines.join(",\n") + "\n    }";
        out += r + 1 < records.size() ? ",\n" : "\n";
    }
    out += "}\n";
    return out;
}

FieldProblems ApplyConfigurationJson(const QByteArray& json, Configuration& config, JsonMode mode) {
    if (json.size() > MaxJsonSize)
        return {{QString(), QStringLiteral("the text is longer than %1 bytes (1 MiB); a "
                                           "configuration takes a few kilobytes")
                                .arg(MaxJsonSize)}};
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return {{QString(), QStringLiteral("not valid JSON: %1 at %2")
                                .arg(error.errorString(), Position(json, error.offset))}};
    if (!doc.isObject())
        return {
            {QString(), QStringLiteral("a JSON object with one member per record table expected")}};
    const QJsonObject root = doc.object();

    Configuration scratch;
    CopyRecords(config, scratch);
    FieldProblems problems = DuplicateKeys(json);
    QSet<QString> given;
    QStringList tables;
    for (const CArchiveRecord* record : scratch.Records())
        tables << record->ClassName();
    for (auto it = root.begin(); it != root.end(); ++it) {
        // An empty name is quoted, not taken for the document as a whole.
        if (!tables.contains(it.key()))
            problems.append({it.key().isEmpty() ? QStringLiteral("\"\"") : it.key(),
                             QStringLiteral("unknown record table (expected %1)")
                                 .arg(tables.join(QStringLiteral(", ")))});
    }
    for (CArchiveRecord* record : scratch.Records()) {
        const auto it = root.find(record->ClassName());
        if (it == root.end())
            continue;
        if (!it->isObject()) {
            problems.append(
                {record->ClassName(),
                 QStringLiteral("an object of properties expected, got %1").arg(Quoted(*it))});
            continue;
        }
        ReadRecord(*record, it->toObject(), problems, given);
    }
    if (mode == JsonMode::Create) {
        const QString model = scratch.UsoInstr().ClassName() + u'.' + kInstrModel;
        const FieldProblem required{model,
                                    QStringLiteral("the model is required: a catalogue "
                                                   "name (\"KM6.1.x.R2.KX\") or its number")};
        if (!given.contains(model) && !AlreadyNamed(required, problems))
            problems.append(required);
        SettleNew(scratch, given);
    }
    const FieldProblems reading = problems;
    for (const FieldProblem& p : ValidateConfiguration(scratch)) {
        if (!AlreadyNamed(p, reading))
            problems.append(p);
    }
    if (problems.isEmpty())
        CopyRecords(scratch, config);
    return problems;
}

}  // namespace voltaris
