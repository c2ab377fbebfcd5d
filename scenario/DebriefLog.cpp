#include "DebriefLog.h"

#include "Simulation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace pulsavo::scenario {

namespace {

constexpr std::array<std::string_view, 10> kindIds{
    "scenario_started", "step_started", "rhythm", "parameter", "event",
    "freeze",           "resume",       "answer", "note",      "scenario_ended",
};

QString seconds(long long tick) {
    return QString::number(static_cast<double>(tick) / ticksPerSecond, 'f', 2);
}

QByteArray csvCell(const QString& text) {
    QString cell = text;
    // Text from a scenario file or a learner: "=cmd()" must stay text in a spreadsheet.
    if (!cell.isEmpty() && QStringLiteral("=+-@\t\r").contains(cell.front())) {
        cell.prepend(QLatin1Char('\''));
    }
    cell.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + cell.toUtf8() + '"';
}

} // namespace

std::string_view entryKindId(EntryKind kind) {
    return kindIds.at(static_cast<std::size_t>(kind));
}

void DebriefLog::add(DebriefEntry entry) {
    list.push_back(std::move(entry));
}

QByteArray DebriefLog::csv() const {
    QByteArray out = "seconds,tick,kind,step,subject,value,detail\n";
    for (const DebriefEntry& e : list) {
        out += seconds(e.tick).toLatin1() + ',' + QByteArray::number(e.tick) + ',' +
               QByteArray(entryKindId(e.kind).data(),
                          static_cast<qsizetype>(entryKindId(e.kind).size())) +
               ',' + (e.step >= 0 ? QByteArray::number(e.step + 1) : QByteArray()) + ',' +
               csvCell(e.subject) + ',' + csvCell(e.value) + ',' + csvCell(e.detail) + '\n';
    }
    return out;
}

QByteArray DebriefLog::json() const {
    QJsonArray entries;
    for (const DebriefEntry& e : list) {
        QJsonObject object{
            {QStringLiteral("seconds"), static_cast<double>(e.tick) / ticksPerSecond},
            {QStringLiteral("tick"), static_cast<qint64>(e.tick)},
            {QStringLiteral("kind"),
             QString::fromLatin1(entryKindId(e.kind).data(),
                                 static_cast<qsizetype>(entryKindId(e.kind).size()))},
            {QStringLiteral("subject"), e.subject},
            {QStringLiteral("value"), e.value},
            {QStringLiteral("detail"), e.detail},
        };
        if (e.step >= 0) {
            object.insert(QStringLiteral("step"), e.step + 1);
        }
        entries.append(object);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("entries"), entries}}).toJson();
}

} // namespace pulsavo::scenario
