#include "Protocol.h"

#include "RhythmLibrary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace pulsavo::classroom::protocol {

namespace {

struct TypeInfo {
    Type type;
    const char* name;
};
constexpr std::array<TypeInfo, 15> types{{
    {Type::hello, "hello"},
    {Type::welcome, "welcome"},
    {Type::pending, "pending"},
    {Type::refuse, "refuse"},
    {Type::state, "state"},
    {Type::change, "change"},
    {Type::transition, "transition"},
    {Type::event, "event"},
    {Type::freeze, "freeze"},
    {Type::sync, "sync"},
    {Type::samples, "samples"},
    {Type::poll, "poll"},
    {Type::pollClose, "poll_close"},
    {Type::answer, "answer"},
    {Type::bye, "bye"},
}};

constexpr std::array<const char*, 8> refusals{"malformed", "version", "code",    "full",
                                              "rejected",  "flood",   "network", "closed"};

// Reads the fields of one object, keeping the first fault found; later reads after a fault
// return defaults and change nothing.
class Reader {
public:
    explicit Reader(const QJsonObject& object) : object(object) {}

    QString error;

    bool ok() const { return error.isEmpty(); }

    void fail(const QString& why) {
        if (error.isEmpty()) {
            error = why;
        }
    }

    std::int64_t integer(const char* key, std::int64_t lo, std::int64_t hi) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isDouble()) {
            fail(QStringLiteral("%1 is not a number").arg(QLatin1String(key)));
            return lo;
        }
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || d < static_cast<double>(lo) ||
            d > static_cast<double>(hi)) {
            fail(QStringLiteral("%1 is not a whole number in range").arg(QLatin1String(key)));
            return lo;
        }
        return static_cast<std::int64_t>(d);
    }

    QString text(const char* key, int maxLength, bool mayBeEmpty = false) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString()) {
            fail(QStringLiteral("%1 is not a string").arg(QLatin1String(key)));
            return {};
        }
        return checkedText(value.toString(), key, maxLength, mayBeEmpty);
    }

    QString checkedText(const QString& s, const char* key, int maxLength, bool mayBeEmpty) {
        if (s.size() > maxLength || (!mayBeEmpty && s.trimmed().isEmpty())) {
            fail(QStringLiteral("%1 is empty or too long").arg(QLatin1String(key)));
            return {};
        }
        if (!showable(s)) {
            fail(QStringLiteral("%1 holds a control character").arg(QLatin1String(key)));
            return {};
        }
        return s;
    }

    // An identifier: lower-case letters, digits and underscores.
    QString identifier(const char* key) {
        QString s = text(key, maxIdLength);
        for (const QChar c : s) {
            if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                  (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_'))) {
                fail(QStringLiteral("%1 is not an identifier").arg(QLatin1String(key)));
                return {};
            }
        }
        return s;
    }

    bool boolean(const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isBool()) {
            fail(QStringLiteral("%1 is not true or false").arg(QLatin1String(key)));
            return false;
        }
        return value.toBool();
    }

    QJsonArray array(const char* key, int maxSize) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isArray() || value.toArray().size() > maxSize) {
            fail(QStringLiteral("%1 is not a list of at most %2")
                     .arg(QLatin1String(key))
                     .arg(maxSize));
            return {};
        }
        return value.toArray();
    }

    QJsonObject child(const char* key, int maxSize) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isObject() || value.toObject().size() > maxSize) {
            fail(QStringLiteral("%1 is not an object of at most %2 entries")
                     .arg(QLatin1String(key))
                     .arg(maxSize));
            return {};
        }
        return value.toObject();
    }

    const QJsonObject& object;
};

std::optional<Type> typeOf(const QString& name) {
    for (const TypeInfo& info : types) {
        if (name == QLatin1String(info.name)) {
            return info.type;
        }
    }
    return std::nullopt;
}

void readArtifacts(Reader& r, Message& m) {
    const QJsonObject layers = r.child("artifact", artifactKindCount);
    for (auto it = layers.begin(); it != layers.end() && r.ok(); ++it) {
        const auto kind = parseArtifactKind(it.key().toStdString());
        const QJsonValue value = it.value();
        if (!kind || !value.isDouble() || value.toDouble() != std::floor(value.toDouble()) ||
            value.toDouble() < 0 || value.toDouble() > Artifact::maxStrength) {
            r.fail(QStringLiteral("artifact %1 is unknown or out of range").arg(it.key()));
            return;
        }
        m.artifacts.push_back({*kind, value.toInt()});
    }
    std::sort(m.artifacts.begin(), m.artifacts.end(),
              [](const ArtifactSetting& a, const ArtifactSetting& b) { return a.kind < b.kind; });
}

void readParameters(Reader& r, Message& m) {
    const QJsonObject values = r.child("params", maxParameters);
    for (auto it = values.begin(); it != values.end() && r.ok(); ++it) {
        Reader key(values);
        const QString id = key.checkedText(it.key(), "parameter id", maxIdLength, false);
        const double value = it.value().toDouble(std::nan(""));
        if (!key.ok() || !it.value().isDouble() || !std::isfinite(value) || std::abs(value) > 1e9) {
            r.fail(QStringLiteral("parameter %1 is not a finite number")
                       .arg(it.key().left(maxIdLength)));
            return;
        }
        m.parameters.push_back({id, value});
    }
}

std::optional<Rhythm> readRhythm(Reader& r, const char* key, bool mayBeNone) {
    const QJsonValue value = r.object.value(QLatin1String(key));
    if (mayBeNone && value.isNull()) {
        return std::nullopt;
    }
    const QString id = r.identifier(key);
    const auto rhythm = parseRhythmId(id.toStdString());
    if (r.ok() && !rhythm) {
        r.fail(QStringLiteral("%1 names no rhythm").arg(QLatin1String(key)));
    }
    return rhythm;
}

void readBody(Reader& r, Message& m) {
    constexpr std::int64_t maxInt = 1 << 30;
    switch (m.type) {
    case Type::hello:
        m.code = r.text("code", 16);
        m.name = r.text("name", maxNameLength).trimmed();
        {
            const QString client = r.text("client", 16);
            if (client == QLatin1String("browser")) {
                m.client = ClientKind::browser;
            } else if (client != QLatin1String("desktop") && r.ok()) {
                r.fail(QStringLiteral("client is neither desktop nor browser"));
            }
        }
        break;
    case Type::welcome:
        m.session = r.identifier("session");
        m.clientId = static_cast<int>(r.integer("client", 1, maxInt));
        m.tick = r.integer("tick", 0, maxTick);
        break;
    case Type::pending:
        break;
    case Type::refuse: {
        const QString reason = r.text("reason", 16);
        bool known = false;
        for (std::size_t i = 0; i < refusals.size(); ++i) {
            if (reason == QLatin1String(refusals[i])) {
                m.reason = static_cast<Refusal>(i);
                known = true;
            }
        }
        if (!known && r.ok()) {
            r.fail(QStringLiteral("reason is unknown"));
        }
        break;
    }
    case Type::state:
        m.at = r.integer("at", 1, maxTick);
        m.rhythm = readRhythm(r, "rhythm", true);
        m.seed = static_cast<std::uint32_t>(r.integer("seed", 0, 0xffffffffLL));
        readArtifacts(r, m);
        break;
    case Type::change:
        m.at = r.integer("at", 1, maxTick);
        m.ramp = static_cast<int>(r.integer("ramp", 0, maxInt));
        readParameters(r, m);
        break;
    case Type::transition:
        m.at = r.integer("at", 1, maxTick);
        m.rhythm = readRhythm(r, "rhythm", false);
        m.seed = static_cast<std::uint32_t>(r.integer("seed", 0, 0xffffffffLL));
        m.action = r.identifier("via");
        m.ramp = static_cast<int>(r.integer("ramp", 0, maxInt));
        break;
    case Type::event:
        m.at = r.integer("at", 1, maxTick);
        m.action = r.identifier("id");
        // A shock names what follows it, drawn from its seed, and the pause before it.
        if (r.object.contains(QLatin1String("rhythm"))) {
            m.rhythm = readRhythm(r, "rhythm", true);
            m.seed = static_cast<std::uint32_t>(r.integer("seed", 0, 0xffffffffLL));
            m.ramp = static_cast<int>(r.integer("ramp", 0, maxInt));
        }
        // Pacing names its mode, rate and output.
        if (r.object.contains(QLatin1String("params"))) {
            readParameters(r, m);
        }
        break;
    case Type::freeze:
        m.at = r.integer("at", 1, maxTick);
        m.on = r.boolean("on");
        break;
    case Type::sync:
        m.tick = r.integer("tick", 0, maxTick);
        break;
    case Type::samples: {
        m.tick = r.integer("from", 1, maxTick);
        const QJsonArray ys = r.array("y", maxSamples);
        for (const QJsonValue y : ys) {
            const double d = y.toDouble(std::nan(""));
            if (!y.isDouble() || d != std::floor(d) || std::abs(d) > 10000) {
                r.fail(QStringLiteral("y holds something other than a pixel row"));
                break;
            }
            m.ys.push_back(static_cast<int>(d));
        }
        m.marks = r.text("marks", maxSamples, true).toLatin1();
        if (r.ok() && (m.marks.size() != static_cast<qsizetype>(m.ys.size()) ||
                       m.marks.contains(QByteArrayView("\0", 1)) ||
                       !std::all_of(m.marks.begin(), m.marks.end(),
                                    [](char c) { return c >= '0' && c <= '3'; }))) {
            r.fail(QStringLiteral("marks do not match the samples"));
        }
        break;
    }
    case Type::poll: {
        m.poll = static_cast<int>(r.integer("poll", 1, maxInt));
        m.pollKind = r.identifier("kind");
        m.question = r.text("question", maxQuestionLength);
        const QJsonArray options = r.array("options", maxPollOptions);
        if (r.ok() && options.size() < 2) {
            r.fail(QStringLiteral("a poll needs two options or more"));
        }
        for (const QJsonValue option : options) {
            if (!option.isString()) {
                r.fail(QStringLiteral("an option is not a string"));
                break;
            }
            m.options.append(r.checkedText(option.toString(), "option", maxOptionLength, false));
        }
        break;
    }
    case Type::pollClose:
        m.poll = static_cast<int>(r.integer("poll", 1, maxInt));
        break;
    case Type::answer:
        m.poll = static_cast<int>(r.integer("poll", 1, maxInt));
        m.choice = static_cast<int>(r.integer("choice", 0, maxPollOptions - 1));
        break;
    case Type::bye:
        break;
    }
}

QJsonObject artifactsObject(const std::vector<ArtifactSetting>& artifacts) {
    QJsonObject layers;
    for (const ArtifactSetting& a : artifacts) {
        layers.insert(QString::fromLatin1(artifactName(a.kind).data(),
                                          static_cast<qsizetype>(artifactName(a.kind).size())),
                      a.strength);
    }
    return layers;
}

QJsonObject parametersObject(const std::vector<Parameter>& parameters) {
    QJsonObject values;
    for (const Parameter& p : parameters) {
        values.insert(p.id, p.value);
    }
    return values;
}

QString rhythmText(Rhythm rhythm) {
    return QString::fromStdString(rhythmId(rhythm));
}

} // namespace

bool showable(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
            (c.isHighSurrogate() && (i + 1 >= s.size() || !s.at(i + 1).isLowSurrogate())) ||
            (c.isLowSurrogate() && (i == 0 || !s.at(i - 1).isHighSurrogate()))) {
            return false;
        }
    }
    return true;
}

bool validName(const QString& name) {
    const QString trimmed = name.trimmed();
    return !trimmed.isEmpty() && trimmed.size() <= maxNameLength && showable(trimmed);
}

bool isTimeline(Type type) {
    return type == Type::state || type == Type::change || type == Type::transition ||
           type == Type::event || type == Type::freeze;
}

QString typeName(Type type) {
    for (const TypeInfo& info : types) {
        if (info.type == type) {
            return QLatin1String(info.name);
        }
    }
    return {};
}

QString refusalName(Refusal reason) {
    return QLatin1String(refusals[static_cast<std::size_t>(reason)]);
}

QByteArray encode(const Message& m) {
    QJsonObject o;
    o.insert(QStringLiteral("v"), version);
    o.insert(QStringLiteral("t"), typeName(m.type));
    if (isTimeline(m.type)) {
        o.insert(QStringLiteral("at"), static_cast<double>(m.at));
    }
    switch (m.type) {
    case Type::hello:
        o.insert(QStringLiteral("code"), m.code);
        o.insert(QStringLiteral("name"), m.name);
        o.insert(QStringLiteral("client"), m.client == ClientKind::browser
                                               ? QStringLiteral("browser")
                                               : QStringLiteral("desktop"));
        break;
    case Type::welcome:
        o.insert(QStringLiteral("session"), m.session);
        o.insert(QStringLiteral("client"), m.clientId);
        o.insert(QStringLiteral("tick"), static_cast<double>(m.tick));
        break;
    case Type::refuse:
        o.insert(QStringLiteral("reason"), refusalName(m.reason));
        break;
    case Type::state:
        o.insert(QStringLiteral("rhythm"),
                 m.rhythm ? QJsonValue(rhythmText(*m.rhythm)) : QJsonValue());
        o.insert(QStringLiteral("seed"), static_cast<double>(m.seed));
        o.insert(QStringLiteral("artifact"), artifactsObject(m.artifacts));
        break;
    case Type::change:
        o.insert(QStringLiteral("ramp"), m.ramp);
        o.insert(QStringLiteral("params"), parametersObject(m.parameters));
        break;
    case Type::transition:
        o.insert(QStringLiteral("rhythm"), m.rhythm ? rhythmText(*m.rhythm) : QString());
        o.insert(QStringLiteral("seed"), static_cast<double>(m.seed));
        o.insert(QStringLiteral("via"), m.action);
        o.insert(QStringLiteral("ramp"), m.ramp);
        break;
    case Type::event:
        o.insert(QStringLiteral("id"), m.action);
        if (m.rhythm || m.seed != 0 || m.ramp != 0) {
            o.insert(QStringLiteral("rhythm"),
                     m.rhythm ? QJsonValue(rhythmText(*m.rhythm)) : QJsonValue());
            o.insert(QStringLiteral("seed"), static_cast<double>(m.seed));
            o.insert(QStringLiteral("ramp"), m.ramp);
        }
        if (!m.parameters.empty()) {
            o.insert(QStringLiteral("params"), parametersObject(m.parameters));
        }
        break;
    case Type::freeze:
        o.insert(QStringLiteral("on"), m.on);
        break;
    case Type::sync:
        o.insert(QStringLiteral("tick"), static_cast<double>(m.tick));
        break;
    case Type::samples: {
        QJsonArray ys;
        for (const int y : m.ys) {
            ys.append(y);
        }
        o.insert(QStringLiteral("from"), static_cast<double>(m.tick));
        o.insert(QStringLiteral("y"), ys);
        o.insert(QStringLiteral("marks"), QString::fromLatin1(m.marks));
        break;
    }
    case Type::poll:
        o.insert(QStringLiteral("poll"), m.poll);
        o.insert(QStringLiteral("kind"), m.pollKind);
        o.insert(QStringLiteral("question"), m.question);
        o.insert(QStringLiteral("options"), QJsonArray::fromStringList(m.options));
        break;
    case Type::pollClose:
        o.insert(QStringLiteral("poll"), m.poll);
        break;
    case Type::answer:
        o.insert(QStringLiteral("poll"), m.poll);
        o.insert(QStringLiteral("choice"), m.choice);
        break;
    case Type::pending:
    case Type::bye:
        break;
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

Decoded decode(const QByteArray& bytes) {
    if (bytes.size() > maxMessageBytes) {
        return {std::nullopt, QStringLiteral("message larger than %1 bytes").arg(maxMessageBytes)};
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return {std::nullopt, QStringLiteral("not a JSON object")};
    }
    const QJsonObject object = document.object();
    Reader r(object);
    // The version first: a peer speaking another version gets told so, not "malformed".
    const QJsonValue v = object.value(QStringLiteral("v"));
    if (!v.isDouble() || v.toDouble() != version) {
        return {std::nullopt, QStringLiteral("version")};
    }
    const QJsonValue t = object.value(QStringLiteral("t"));
    const auto type = t.isString() ? typeOf(t.toString()) : std::nullopt;
    if (!type) {
        return {std::nullopt, QStringLiteral("unknown message type")};
    }
    Message m;
    m.type = *type;
    readBody(r, m);
    if (!r.ok()) {
        return {std::nullopt, typeName(m.type) + QStringLiteral(": ") + r.error};
    }
    return {m, {}};
}

} // namespace pulsavo::classroom::protocol
