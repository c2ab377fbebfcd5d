#pragma once

#include <QDateTime>
#include <QString>

namespace pulsavo {

// Times are stored as UTC text of one fixed width ("2024-03-10T16:00:00.000Z"), so text order
// is time order and the time index serves day ranges; SQLite's date functions read it as is.
inline QString utcText(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

inline QString utcTextOrNow(const QDateTime& time) {
    return utcText(time.isValid() ? time : QDateTime::currentDateTimeUtc());
}

} // namespace pulsavo
