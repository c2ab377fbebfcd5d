#include "ScenarioFile.h"

#include "LiveTable.h"
#include "Simulation.h"
#include "conduction/LiveParameter.h"
#include "conduction/Transition.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <set>
#include <string>

namespace pulsavo::scenario {

namespace {

QString text(const char* source) {
    return QCoreApplication::translate("ScenarioFile", source);
}

QString quotedKey(const QString& key) {
    return QStringLiteral("“%1”").arg(key);
}

// A check failed: the reason, for the step being read.
struct Refusal {
    QString reason;
};

[[noreturn]] void refuse(QString reason) {
    throw Refusal{std::move(reason)};
}

// Raw-text checks Qt's parser cannot make: it keeps either of two equal keys, takes "\u0000"
// into a string and nests as deep as memory allows. Keys are plain lower-case ids in this
// format, so comparing their raw bytes finds every duplicate.
struct ScanIssue {
    int step = -1;
    QString reason;
};

class RawScan {
public:
    explicit RawScan(const QByteArray& data) : data(data) {}

    std::optional<ScanIssue> run() {
        for (pos = 0; pos < data.size(); ++pos) {
            const char c = data[pos];
            if (c == '\0') {
                return issue(text(QT_TRANSLATE_NOOP("ScenarioFile", "NUL 文字を含んでいます")));
            }
            if (c == '"') {
                if (auto found = readString()) {
                    return found;
                }
            } else if (c == '{' || c == '[') {
                frames.push_back({c == '{', true, {}, {}, 0, isStepsArray(c)});
                if (static_cast<int>(frames.size()) > maxNesting) {
                    return issue(
                        text(QT_TRANSLATE_NOOP("ScenarioFile", "入れ子が深すぎます（%1 段まで）"))
                            .arg(maxNesting));
                }
            } else if (c == '}' || c == ']') {
                if (!frames.empty()) {
                    frames.pop_back();
                }
            } else if (c == ',' && !frames.empty()) {
                Frame& frame = frames.back();
                frame.expectKey = frame.object;
                ++frame.commas;
            } else if (c == ':' && !frames.empty()) {
                frames.back().expectKey = false;
            }
        }
        return std::nullopt;
    }

private:
    struct Frame {
        bool object = false;
        bool expectKey = true;
        std::set<QByteArray> keys;
        QByteArray lastKey;
        int commas = 0;
        bool steps = false;
    };

    bool isStepsArray(char c) const {
        return c == '[' && frames.size() == 1 && frames.front().object &&
               frames.front().lastKey == "steps";
    }

    ScanIssue issue(QString reason) const {
        int step = -1;
        if (frames.size() >= 2 && frames[1].steps) {
            step = frames[1].commas;
        }
        return {step, std::move(reason)};
    }

    std::optional<ScanIssue> readString() {
        const qsizetype start = pos + 1;
        bool escaped = false;
        for (++pos; pos < data.size(); ++pos) {
            const char c = data[pos];
            if (c == '\0') {
                return issue(text(QT_TRANSLATE_NOOP("ScenarioFile", "NUL 文字を含んでいます")));
            }
            if (escaped) {
                if (c == 'u' && data.mid(pos + 1, 4) == "0000") {
                    return issue(text(QT_TRANSLATE_NOOP("ScenarioFile", "NUL 文字を含んでいます")));
                }
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                break;
            }
        }
        if (frames.empty() || !frames.back().object || !frames.back().expectKey) {
            return std::nullopt;
        }
        Frame& frame = frames.back();
        const QByteArray key = data.mid(start, pos - start);
        static const QRegularExpression plainKey(QStringLiteral("^[a-z][a-z0-9_]{0,63}$"));
        if (!plainKey.match(QString::fromLatin1(key)).hasMatch()) {
            return issue(text(QT_TRANSLATE_NOOP("ScenarioFile", "知らないキー %1"))
                             .arg(quotedKey(QString::fromUtf8(key.left(64)))));
        }
        if (!frame.keys.insert(key).second) {
            return issue(text(QT_TRANSLATE_NOOP("ScenarioFile", "キー %1 が二度あります"))
                             .arg(quotedKey(QString::fromLatin1(key))));
        }
        frame.lastKey = key;
        frame.expectKey = false;
        return std::nullopt;
    }

    const QByteArray& data;
    qsizetype pos = 0;
    std::vector<Frame> frames;
};

QString typeName(QJsonValue::Type type) {
    switch (type) {
    case QJsonValue::String:
        return text(QT_TRANSLATE_NOOP("ScenarioFile", "文字列"));
    case QJsonValue::Double:
        return text(QT_TRANSLATE_NOOP("ScenarioFile", "数"));
    case QJsonValue::Object:
        return text(QT_TRANSLATE_NOOP("ScenarioFile", "オブジェクト"));
    case QJsonValue::Array:
        return text(QT_TRANSLATE_NOOP("ScenarioFile", "配列"));
    default:
        return text(QT_TRANSLATE_NOOP("ScenarioFile", "真偽値"));
    }
}

void checkKeys(const QJsonObject& object, std::initializer_list<const char*> known) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool found = false;
        for (const char* key : known) {
            found = found || it.key() == QLatin1String(key);
        }
        if (!found) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "知らないキー %1"))
                       .arg(quotedKey(it.key())));
        }
    }
}

QJsonValue field(const QJsonObject& object, const char* key, QJsonValue::Type type, bool required) {
    QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined()) {
        if (required) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 がありません"))
                       .arg(quotedKey(QLatin1String(key))));
        }
        return value;
    }
    if (value.type() != type) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 は%2でなければなりません"))
                   .arg(quotedKey(QLatin1String(key)), typeName(type)));
    }
    return value;
}

QString rangeText(double value) {
    return QString::number(value, 'g', 10);
}

double number(const QJsonValue& value, const QString& name, double lo, double hi, bool whole) {
    const double v = value.toDouble();
    if (whole && std::floor(v) != v) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 は整数でなければなりません（%2）"))
                   .arg(quotedKey(name), rangeText(v)));
    }
    if (!(v >= lo && v <= hi)) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 は %2 から %3 まで（%4 は範囲外）"))
                   .arg(quotedKey(name), rangeText(lo), rangeText(hi), rangeText(v)));
    }
    return v;
}

int wholeField(const QJsonObject& object, const char* key, int lo, int hi, bool required,
               int fallback) {
    const QJsonValue value = field(object, key, QJsonValue::Double, required);
    return value.isUndefined() ? fallback
                               : static_cast<int>(number(value, QLatin1String(key), lo, hi, true));
}

QString checkedText(const QString& value, const QString& name, int cap, bool multiline) {
    if (value.size() > cap) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 が長すぎます（%2 文字まで）"))
                   .arg(quotedKey(name))
                   .arg(cap));
    }
    for (const QChar c : value) {
        const bool allowed = multiline && (c == QLatin1Char('\n') || c == QLatin1Char('\t'));
        if ((c.category() == QChar::Other_Control && !allowed) ||
            c.category() == QChar::Other_Surrogate) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 に制御文字があります"))
                       .arg(quotedKey(name)));
        }
    }
    return value;
}

QString textField(const QJsonObject& object, const char* key, int cap, bool multiline,
                  bool required) {
    const QJsonValue value = field(object, key, QJsonValue::String, required);
    return checkedText(value.toString(), QLatin1String(key), cap, multiline);
}

Title titleField(const QJsonObject& object, const char* key, int cap, bool multiline, bool required,
                 bool englishRequired) {
    const QJsonValue value = field(object, key, QJsonValue::Object, required);
    if (value.isUndefined()) {
        return {};
    }
    const QJsonObject title = value.toObject();
    checkKeys(title, {"ja", "en"});
    Title result;
    result.ja = textField(title, "ja", cap, multiline, true);
    result.en = textField(title, "en", cap, multiline, englishRequired);
    if (result.ja.trimmed().isEmpty() || (englishRequired && result.en.trimmed().isEmpty())) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 が空です"))
                   .arg(quotedKey(QLatin1String(key))));
    }
    return result;
}

// The title of a step as far as it reads, for naming the step in a message.
Title readableTitle(const QJsonValue& step) {
    try {
        return titleField(step.toObject(), "title", maxTitleLength, false, false, false);
    } catch (const Refusal&) {
        return {};
    }
}

void readVitals(const QJsonObject& object, Vitals& vitals) {
    checkKeys(object, {"spo2", "nibp", "resp_rate"});
    if (object.contains(QLatin1String("spo2"))) {
        vitals.spo2 = wholeField(object, "spo2", 0, 100, true, 0);
    }
    if (object.contains(QLatin1String("resp_rate"))) {
        vitals.respirationRate = wholeField(object, "resp_rate", 0, 80, true, 0);
    }
    if (object.contains(QLatin1String("nibp"))) {
        const QString nibp = textField(object, "nibp", 16, false, true);
        static const QRegularExpression form(QStringLiteral("^(\\d{2,3})/(\\d{1,3})$"));
        const QRegularExpressionMatch match = form.match(nibp);
        const int systolic = match.hasMatch() ? match.captured(1).toInt() : 0;
        const int diastolic = match.hasMatch() ? match.captured(2).toInt() : 0;
        if (systolic < 20 || systolic > 300 || diastolic < 0 || diastolic >= systolic) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "血圧 %1 は「120/80」の形で、収縮期"
                                                          "（20〜300）が拡張期より高くなければなり"
                                                          "ません"))
                       .arg(quotedKey(nibp.left(16))));
        }
        vitals.systolic = systolic;
        vitals.diastolic = diastolic;
    }
}

// A step's rhythm as validation sees it: its preset (from seed 0), with the settings of the
// steps before on the same rhythm.
conduction::Params presetOf(LibraryRhythm rhythm) {
    RandomSource random;
    random.seed(0);
    return conduction::drawPreset(rhythm, random);
}

void readParameters(const QJsonObject& settings, const QString& rhythmText,
                    conduction::Params& state, std::vector<ParameterSetting>& out) {
    struct Setting {
        conduction::LiveParameterId which;
        QString key;
        double value;
    };
    std::vector<Setting> read;
    for (auto it = settings.begin(); it != settings.end(); ++it) {
        const auto which = conduction::liveParameterOf(it.key().toStdString());
        if (!which) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "知らないパラメーター %1"))
                       .arg(quotedKey(it.key())));
        }
        const conduction::LiveParameter& info = conduction::liveParameter(*which);
        double value = 0;
        if (info.isChoice()) {
            const QString name = it.value().toString();
            const auto choice = conduction::liveChoiceOf(*which, name.toStdString());
            if (!choice) {
                QStringList names;
                for (const std::string_view c : info.choices) {
                    names << QString::fromUtf8(c.data(), static_cast<qsizetype>(c.size()));
                }
                refuse(
                    text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 は %2 のどれかです（%3 ではなく）"))
                        .arg(quotedKey(it.key()), names.join(QStringLiteral(", ")),
                             quotedKey(it.value().isString() ? name.left(32)
                                                             : typeName(it.value().type()))));
            }
            value = *choice;
        } else {
            if (!it.value().isDouble()) {
                refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 は%2でなければなりません"))
                           .arg(quotedKey(it.key()), typeName(QJsonValue::Double)));
            }
            value = number(it.value(), it.key(), info.lo, info.hi, false);
        }
        read.push_back({*which, it.key(), value});
    }
    // Choices first, in the table's order: a pacing rate needs the pacer on to mean anything.
    std::stable_sort(read.begin(), read.end(), [](const Setting& a, const Setting& b) {
        const bool aChoice = conduction::liveParameter(a.which).isChoice();
        const bool bChoice = conduction::liveParameter(b.which).isChoice();
        return aChoice != bChoice ? aChoice : a.which < b.which;
    });
    for (const Setting& setting : read) {
        if (!conduction::appliesTo(setting.which, state)) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile",
                                          "パラメーター %1 はリズム %2 には使えません"))
                       .arg(quotedKey(setting.key), quotedKey(rhythmText)));
        }
        state = conduction::withLiveValue(state, setting.which, setting.value);
        out.push_back({setting.key.toStdString(), setting.value});
    }
}

Step readStep(const QJsonObject& object, std::optional<LibraryRhythm> previous,
              conduction::Params& state) {
    checkKeys(object, {"title", "rhythm", "parameters", "transition", "advance", "duration_s",
                       "events", "notes", "expected_action", "vitals"});
    Step step;
    step.title = titleField(object, "title", maxTitleLength, false, true, true);
    const QString rhythmText = textField(object, "rhythm", 64, false, true);
    const auto rhythm = parseRhythmId(rhythmText.toStdString());
    const auto library = rhythm ? libraryRhythmOf(*rhythm) : std::nullopt;
    if (!library) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "知らないリズム %1"))
                   .arg(quotedKey(rhythmText)));
    }
    step.rhythm = *library;

    if (!previous || *previous != step.rhythm) {
        state = presetOf(step.rhythm);
    }
    const QJsonObject settings = field(object, "parameters", QJsonValue::Object, false).toObject();
    readParameters(settings, rhythmText, state, step.parameters);

    const QJsonValue transition = field(object, "transition", QJsonValue::Object, false);
    if (!transition.isUndefined()) {
        const QJsonObject t = transition.toObject();
        checkKeys(t, {"kind", "ramp_s"});
        const QString kind = textField(t, "kind", 64, false, true);
        if (!conduction::transitionKindOf(kind.toStdString())) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "知らない移行 %1")).arg(quotedKey(kind)));
        }
        step.transition = kind.toStdString();
        step.rampSeconds = wholeField(t, "ramp_s", 0, maxRampSeconds, false, 0);
    }

    const QString advance = object.contains(QLatin1String("advance"))
                                ? textField(object, "advance", 16, false, true)
                                : QStringLiteral("auto");
    if (advance != QLatin1String("auto") && advance != QLatin1String("manual")) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 は auto か manual です（%2 ではなく）"))
                   .arg(quotedKey(QLatin1String("advance")), quotedKey(advance.left(16))));
    }
    step.advance = advance == QLatin1String("manual") ? Advance::manual : Advance::automatic;
    if (object.contains(QLatin1String("duration_s"))) {
        step.seconds = wholeField(object, "duration_s", 1, maxStepSeconds, true, 0);
    } else if (step.advance == Advance::automatic) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "自動で進む手順には %1 が必要です"))
                   .arg(quotedKey(QLatin1String("duration_s"))));
    }

    const QJsonArray events = field(object, "events", QJsonValue::Array, false).toArray();
    constexpr int maxEvents = 8;
    if (events.size() > maxEvents) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 が多すぎます（%2 個まで）"))
                   .arg(quotedKey(QLatin1String("events")))
                   .arg(maxEvents));
    }
    for (const auto& event : events) {
        const QString id = event.toString();
        if (!event.isString() || !isInstructorEvent(id.toStdString())) {
            refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "知らないイベント %1"))
                       .arg(quotedKey(event.isString() ? id.left(64) : typeName(event.type()))));
        }
        step.events.push_back(id.toStdString());
    }

    step.notes = textField(object, "notes", maxTextLength, true, false);
    step.expectedAction = textField(object, "expected_action", maxTextLength, true, false);
    const QJsonValue vitals = field(object, "vitals", QJsonValue::Object, false);
    if (!vitals.isUndefined()) {
        readVitals(vitals.toObject(), step.vitals);
    }
    return step;
}

Scenario readRoot(const QJsonObject& root) {
    checkKeys(root, {"format", "version", "title", "description", "seed", "steps"});
    if (textField(root, "format", 64, false, true) != QLatin1String("pulsavo-scenario")) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "Pulsavo のシナリオではありません（format が "
                                                      "pulsavo-scenario ではない）")));
    }
    Scenario scenario;
    const double version = number(field(root, "version", QJsonValue::Double, true),
                                  QStringLiteral("version"), 1, 1e9, true);
    if (version > formatVersion) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile",
                                      "版 %1 のシナリオは読めません（この Pulsavo は版 %2 まで）"))
                   .arg(rangeText(version))
                   .arg(formatVersion));
    }
    scenario.version = static_cast<int>(version);
    scenario.title = titleField(root, "title", maxTitleLength, false, true, true);
    scenario.description = titleField(root, "description", maxTextLength, true, false, false);
    const QJsonValue seed = field(root, "seed", QJsonValue::Double, false);
    if (!seed.isUndefined()) {
        scenario.seed =
            static_cast<std::uint32_t>(number(seed, QStringLiteral("seed"), 0, UINT32_MAX, true));
    }
    const QJsonArray steps = field(root, "steps", QJsonValue::Array, true).toArray();
    if (steps.isEmpty()) {
        refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "手順がありません")));
    }
    if (steps.size() > maxSteps) {
        refuse(
            text(QT_TRANSLATE_NOOP("ScenarioFile", "手順が多すぎます（%1 まで）")).arg(maxSteps));
    }
    return scenario;
}

QString readError(const QJsonParseError& error) {
    return text(QT_TRANSLATE_NOOP("ScenarioFile", "JSON として読めません（%1 バイト目: %2）"))
        .arg(error.offset + 1)
        .arg(error.errorString());
}

ReadResult refused(int step, Title title, QString reason) {
    ReadResult result;
    result.problem = {step, std::move(title), std::move(reason)};
    return result;
}

} // namespace

QString Problem::text(catalogue::Language language) const {
    if (step < 0) {
        return reason;
    }
    const QString name = stepTitle.in(language == catalogue::Language::english);
    if (name.isEmpty()) {
        return ::pulsavo::scenario::text(QT_TRANSLATE_NOOP("ScenarioFile", "手順 %1: %2"))
            .arg(step + 1)
            .arg(reason);
    }
    return ::pulsavo::scenario::text(QT_TRANSLATE_NOOP("ScenarioFile", "手順 %1（%2）: %3"))
        .arg(step + 1)
        .arg(name, reason);
}

ReadResult parseScenario(const QByteArray& data) {
    if (data.size() > maxFileBytes) {
        return refused(
            -1, {},
            text(QT_TRANSLATE_NOOP("ScenarioFile", "ファイルが大きすぎます（%1 バイトまで）"))
                .arg(maxFileBytes));
    }
    const std::optional<ScanIssue> issue = RawScan(data).run();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    const QJsonArray steps = document.object().value(QLatin1String("steps")).toArray();
    const auto titleOf = [&steps](int step) {
        return step >= 0 && step < steps.size() ? readableTitle(steps.at(step)) : Title{};
    };
    if (issue) {
        return refused(issue->step, titleOf(issue->step), issue->reason);
    }
    if (error.error != QJsonParseError::NoError) {
        return refused(-1, {}, readError(error));
    }
    if (!document.isObject()) {
        return refused(-1, {},
                       text(QT_TRANSLATE_NOOP("ScenarioFile",
                                              "いちばん外側が JSON のオブジェクトではありません")));
    }
    Scenario scenario;
    try {
        scenario = readRoot(document.object());
    } catch (const Refusal& refusal) {
        return refused(-1, {}, refusal.reason);
    }
    std::optional<LibraryRhythm> previous;
    conduction::Params state;
    for (int i = 0; i < steps.size(); ++i) {
        try {
            if (!steps.at(i).isObject()) {
                refuse(text(QT_TRANSLATE_NOOP("ScenarioFile", "手順は%1でなければなりません"))
                           .arg(typeName(QJsonValue::Object)));
            }
            scenario.steps.push_back(readStep(steps.at(i).toObject(), previous, state));
            previous = scenario.steps.back().rhythm;
        } catch (const Refusal& refusal) {
            return refused(i, titleOf(i), refusal.reason);
        }
    }
    ReadResult result;
    result.scenario = std::move(scenario);
    return result;
}

ReadResult readScenarioFile(const QString& path) {
    if (path.isEmpty()) {
        return refused(-1, {}, text(QT_TRANSLATE_NOOP("ScenarioFile", "ファイル名が空です")));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(-1, {},
                       text(QT_TRANSLATE_NOOP("ScenarioFile", "ファイルを開けません: %1"))
                           .arg(file.errorString()));
    }
    // One byte past the cap tells a file too large without reading all of it.
    const QByteArray data = file.read(maxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return refused(-1, {},
                       text(QT_TRANSLATE_NOOP("ScenarioFile", "ファイルを読めません: %1"))
                           .arg(file.errorString()));
    }
    return parseScenario(data);
}

QStringList shippedScenarios() {
    QStringList paths;
    const QDir shipped(QStringLiteral(":/scenarios"));
    for (const QString& name :
         shipped.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        paths << shipped.filePath(name);
    }
    return paths;
}

namespace {

QJsonObject titleJson(const Title& title) {
    QJsonObject object{{QStringLiteral("ja"), title.ja}};
    if (!title.en.isEmpty()) {
        object.insert(QStringLiteral("en"), title.en);
    }
    return object;
}

QJsonObject stepJson(const Step& step) {
    QJsonObject object{
        {QStringLiteral("title"), titleJson(step.title)},
        {QStringLiteral("rhythm"),
         QString::fromUtf8(infoOf(step.rhythm).id.data(),
                           static_cast<qsizetype>(infoOf(step.rhythm).id.size()))},
        {QStringLiteral("advance"),
         step.advance == Advance::manual ? QStringLiteral("manual") : QStringLiteral("auto")},
    };
    if (!step.parameters.empty()) {
        QJsonObject parameters;
        for (const ParameterSetting& setting : step.parameters) {
            const auto which = conduction::liveParameterOf(setting.id);
            const auto choices = which ? conduction::liveParameter(*which).choices
                                       : std::span<const std::string_view>();
            const auto index = static_cast<std::size_t>(setting.value);
            if (index < choices.size()) {
                parameters.insert(QString::fromStdString(setting.id),
                                  QString::fromUtf8(choices[index].data(),
                                                    static_cast<qsizetype>(choices[index].size())));
            } else {
                parameters.insert(QString::fromStdString(setting.id), setting.value);
            }
        }
        object.insert(QStringLiteral("parameters"), parameters);
    }
    object.insert(QStringLiteral("transition"),
                  QJsonObject{{QStringLiteral("kind"), QString::fromStdString(step.transition)},
                              {QStringLiteral("ramp_s"), step.rampSeconds}});
    if (step.seconds) {
        object.insert(QStringLiteral("duration_s"), *step.seconds);
    }
    if (!step.events.empty()) {
        QJsonArray events;
        for (const std::string& event : step.events) {
            events.append(QString::fromStdString(event));
        }
        object.insert(QStringLiteral("events"), events);
    }
    if (!step.notes.isEmpty()) {
        object.insert(QStringLiteral("notes"), step.notes);
    }
    if (!step.expectedAction.isEmpty()) {
        object.insert(QStringLiteral("expected_action"), step.expectedAction);
    }
    QJsonObject vitals;
    if (step.vitals.spo2) {
        vitals.insert(QStringLiteral("spo2"), *step.vitals.spo2);
    }
    if (step.vitals.systolic && step.vitals.diastolic) {
        vitals.insert(
            QStringLiteral("nibp"),
            QStringLiteral("%1/%2").arg(*step.vitals.systolic).arg(*step.vitals.diastolic));
    }
    if (step.vitals.respirationRate) {
        vitals.insert(QStringLiteral("resp_rate"), *step.vitals.respirationRate);
    }
    if (!vitals.isEmpty()) {
        object.insert(QStringLiteral("vitals"), vitals);
    }
    return object;
}

} // namespace

QByteArray scenarioJson(const Scenario& scenario) {
    QJsonArray steps;
    for (const Step& step : scenario.steps) {
        steps.append(stepJson(step));
    }
    QJsonObject root{
        {QStringLiteral("format"), QStringLiteral("pulsavo-scenario")},
        {QStringLiteral("version"), scenario.version},
        {QStringLiteral("title"), titleJson(scenario.title)},
        {QStringLiteral("steps"), steps},
    };
    if (!scenario.description.ja.isEmpty()) {
        root.insert(QStringLiteral("description"), titleJson(scenario.description));
    }
    if (scenario.seed) {
        root.insert(QStringLiteral("seed"), static_cast<qint64>(*scenario.seed));
    }
    return QJsonDocument(root).toJson();
}

std::optional<QString> saveScenarioFile(const Scenario& scenario, const QString& path) {
    const QByteArray data = scenarioJson(scenario);
    const ReadResult check = parseScenario(data);
    if (!check.ok()) {
        return check.problem.text();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        return text(QT_TRANSLATE_NOOP("ScenarioFile", "%1 に保存できません: %2"))
            .arg(path, file.errorString());
    }
    return std::nullopt;
}

long long Step::headlessTicks() const {
    return static_cast<long long>(seconds.value_or(defaultManualSeconds)) * ticksPerSecond;
}

long long Scenario::headlessTicks() const {
    long long total = 0;
    for (const Step& step : steps) {
        total += step.headlessTicks();
    }
    return total;
}

} // namespace pulsavo::scenario
