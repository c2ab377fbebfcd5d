#include "StripSaving.h"

#include "Catalogue.h"
#include "LanguageManager.h"
#include "Monitor.h"
#include "Utf8Text.h"
#include "WindowFit.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSaveFile>

#include <algorithm>
#include <exception>

namespace pulsavo {

namespace {

QString rhythmName(std::optional<Rhythm> rhythm) {
    const catalogue::Language language = LanguageManager::instance().language();
    const std::string_view name =
        rhythm ? catalogue::nameOf(*rhythm, language) : catalogue::noSelectionMessage(language);
    return utf8Text(name);
}

} // namespace

StripDescription monitorStrip(const Monitor& monitor, int seconds, bool ladder, StripShows shows) {
    const int height = monitor.sweep().height;
    const bool secret = shows == StripShows::traceOnly;
    StripDescription strip = stripOfMonitor(
        monitor, seconds * ticksPerSecond, true, ladder && !secret,
        height != defaultPanelHeight ? std::optional<int>(height) : std::nullopt, rhythmName);
    if (secret) {
        // The caption would name the rhythm and its seed, which replays it.
        strip.caption = QStringList{QCoreApplication::translate("StripSaving", "未回答の問題")};
        strip.marking = false;
    }
    return strip;
}

bool saveMonitorStrip(const Monitor& monitor, const QString& path, int seconds, bool ladder,
                      QString* error, StripShows shows) {
    try {
        const StripPainter strip(monitorStrip(monitor, seconds, ladder, shows));
        const QString suffix = QFileInfo(path).suffix().toLower();
        const QByteArray data = suffix == QLatin1String("svg")   ? renderSvg(strip)
                                : suffix == QLatin1String("pdf") ? renderPdf(strip)
                                                                 : renderPng(strip);
        // The old file stays until the new one is complete and flushed.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush() ||
            !file.commit()) {
            if (error != nullptr) {
                *error = file.errorString();
            }
            return false;
        }
    } catch (const std::exception& failure) {
        if (error != nullptr) {
            *error = QString::fromLocal8Bit(failure.what());
        }
        return false;
    }
    return true;
}

void askAndSaveMonitorStrip(QWidget* parent, const Monitor& monitor, bool ladder,
                            StripShows shows) {
    const int available = static_cast<int>(
        std::min<long long>(monitor.tickCount(), monitor.historyCapacity()) / ticksPerSecond);
    if (available < minimumStripSeconds) {
        QMessageBox::information(
            parent, QCoreApplication::translate("StripSaving", "記録紙を保存"),
            QCoreApplication::translate("StripSaving", "保存できるのは、6 秒以上表示した後です。"));
        return;
    }
    bool ok = false;
    const int seconds = QInputDialog::getInt(
        parent, QCoreApplication::translate("StripSaving", "記録紙を保存"),
        QCoreApplication::translate("StripSaving", "保存する秒数 (最後の何秒か):"),
        std::min(12, available), minimumStripSeconds, std::min(maximumStripSeconds, available), 1,
        &ok);
    if (!ok) {
        return;
    }
    const QString path =
        askSaveFileName(parent, QCoreApplication::translate("StripSaving", "記録紙を保存"),
                        QStringLiteral("pulsavo-strip.png"),
                        QCoreApplication::translate(
                            "StripSaving", "PNG 画像 (*.png);;SVG 画像 (*.svg);;PDF (*.pdf)"));
    if (path.isEmpty()) {
        return;
    }
    QString error;
    if (!saveMonitorStrip(monitor, path, seconds, ladder, &error, shows)) {
        QMessageBox::warning(
            parent, QCoreApplication::translate("StripSaving", "記録紙を保存"),
            QCoreApplication::translate("StripSaving", "%1 を保存できませんでした: %2")
                .arg(path, error));
    }
}

} // namespace pulsavo
