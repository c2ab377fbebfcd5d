#include "MonitorActions.h"

#include "BeatTone.h"
#include "HighlightChoice.h"
#include "LanguageManager.h"
#include "Monitor.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include <array>
#include <utility>

namespace pulsavo {

namespace {

constexpr std::array<std::pair<Sweep::Highlight, const char*>, 3> highlightItems{{
    {Sweep::Highlight::red, "redHighlightAction"},
    {Sweep::Highlight::thick, "thickHighlightAction"},
    {Sweep::Highlight::colourBlindSafe, "colourBlindSafeHighlightAction"},
}};

} // namespace

MonitorActions::MonitorActions(QWidget* window) : QObject(window) {
    freezeItem = new QAction(window);
    freezeItem->setObjectName(QStringLiteral("freezeAction"));
    freezeItem->setShortcuts({QKeySequence(Qt::Key_Pause), QKeySequence(Qt::Key_F)});
    freezeItem->setShortcutContext(Qt::WindowShortcut);
    window->addAction(freezeItem);
    connect(freezeItem, &QAction::triggered, this, &MonitorActions::freezeToggled);

    languages = new QMenu(window);
    languages->setObjectName(QStringLiteral("languageMenu"));
    auto* languageGroup = new QActionGroup(languages);
    japaneseItem = languages->addAction(QString());
    japaneseItem->setObjectName(QStringLiteral("japaneseAction"));
    englishItem = languages->addAction(QString());
    englishItem->setObjectName(QStringLiteral("englishAction"));
    for (QAction* item : {japaneseItem, englishItem}) {
        item->setCheckable(true);
        languageGroup->addAction(item);
    }
    connect(japaneseItem, &QAction::triggered, this,
            [] { LanguageManager::instance().choose(catalogue::Language::japanese); });
    connect(englishItem, &QAction::triggered, this,
            [] { LanguageManager::instance().choose(catalogue::Language::english); });

    highlights = new QMenu(window);
    highlights->setObjectName(QStringLiteral("highlightMenu"));
    highlightGroup = new QActionGroup(highlights);
    for (const auto& [style, name] : highlightItems) {
        QAction* item = highlights->addAction(QString());
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        item->setData(static_cast<int>(style));
        highlightGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [style = style] { HighlightChoice::instance().choose(style); });
    }
    showHighlight(HighlightChoice::stored());
    connect(&HighlightChoice::instance(), &HighlightChoice::changed, this,
            &MonitorActions::showHighlight);
    retranslate(false);
}

void MonitorActions::showHighlight(Sweep::Highlight style) {
    for (QAction* item : highlightGroup->actions()) {
        item->setChecked(item->data().toInt() == static_cast<int>(style));
    }
}

void MonitorActions::showFrozen(bool frozen) {
    freezeItem->setText(frozen ? tr("再開(&F)") : tr("一時停止(&F)"));
}

void MonitorActions::retranslate(bool frozen) {
    showFrozen(frozen);
    //: The language menu: the same in both languages, so it can be found in either.
    languages->setTitle(tr("Language / 言語(&L)"));
    //: The language's own name, the same in every language.
    japaneseItem->setText(tr("日本語"));
    //: The language's own name, the same in every language.
    englishItem->setText(tr("English"));
    const catalogue::Language language = LanguageManager::instance().language();
    japaneseItem->setChecked(language == catalogue::Language::japanese);
    englishItem->setChecked(language == catalogue::Language::english);
    highlights->setTitle(tr("強調表示(&H)"));
    const QList<QAction*> items = highlightGroup->actions();
    items.at(0)->setText(tr("赤(&R)"));
    items.at(1)->setText(tr("太線(&T)"));
    items.at(2)->setText(tr("色覚に配慮した配色(&S)"));
}

void MonitorActions::wireTone(Monitor& monitor, const std::function<ToneSink*()>& sink) {
    monitor.onTone = [sink] {
        if (ToneSink* tone = sink()) {
            tone->sound();
        }
    };
    monitor.onSilence = [sink] {
        if (ToneSink* tone = sink()) {
            tone->silence();
        }
    };
    // The beep seen ahead, so that the tone is timed to its peak and rests between beats.
    monitor.onUpcoming = [sink](int ticks) {
        if (ToneSink* tone = sink()) {
            tone->upcoming(ticks == Monitor::noToneDue ? ToneSink::nothingDue : ticks);
        }
    };
}

} // namespace pulsavo
