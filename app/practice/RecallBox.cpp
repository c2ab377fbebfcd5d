#include "RecallBox.h"

#include "CatalogueText.h"
#include "Recall.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <QTimer>
#include <QVBoxLayout>

namespace pulsavo {

namespace {

constexpr int offeredAtMost = 12;

} // namespace

RecallBox::RecallBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("recallBox"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    label = new QLabel(this);
    line = new QLineEdit(this);
    line->setObjectName(QStringLiteral("recallEdit"));
    label->setBuddy(line);
    messageLabel = new QLabel(this);
    messageLabel->setObjectName(QStringLiteral("recallMessage"));
    messageLabel->setWordWrap(true);
    messageLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    offered = new QStringListModel(this);
    // The recall rules decide what matches (kana, romaji, abbreviations), not a plain prefix.
    completer = new QCompleter(offered, this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setWidget(line);
    line->installEventFilter(this);
    layout->addWidget(label);
    layout->addWidget(line);
    layout->addWidget(messageLabel);
    layout->addStretch();

    connect(line, &QLineEdit::textEdited, this, [this](const QString& text) {
        messageLabel->clear();
        complete(text);
    });
    connect(completer, qOverload<const QString&>(&QCompleter::activated), line,
            &QLineEdit::setText);
}

void RecallBox::setNames(std::vector<Rhythm> names) {
    candidates = std::move(names);
}

void RecallBox::complete(const QString& prefix) {
    QStringList names;
    if (!prefix.trimmed().isEmpty()) {
        const std::string typed = prefix.toStdString();
        for (const catalogue::Completion& found : catalogue::completeTypedName(typed, candidates)) {
            // The name in the language of the entry matched: an English abbreviation offers
            // the English name, a kana reading the Japanese one.
            const QString name = rhythmName(found.rhythm, found.language);
            if (!names.contains(name)) {
                names << name;
            }
            if (names.size() >= offeredAtMost) {
                break;
            }
        }
    }
    offered->setStringList(names);
    if (names.isEmpty()) {
        completer->popup()->hide();
    } else {
        // After the key press is done with: the popup is not to see the rest of its handling.
        QTimer::singleShot(0, completer, [this] { completer->complete(); });
    }
}

void RecallBox::ask() {
    asking = true;
    line->clear();
    messageLabel->clear();
    line->setEnabled(true);
    line->setFocus();
}

void RecallBox::lock() {
    asking = false;
    completer->popup()->hide();
    line->setEnabled(false);
}

void RecallBox::submit() {
    if (asking && !line->text().trimmed().isEmpty()) {
        completer->popup()->hide();
        emit answerTyped(line->text());
    }
}

void RecallBox::refuse(const QString& message) {
    messageLabel->setText(message);
    line->selectAll();
    line->setFocus();
}

void RecallBox::retranslate() {
    label->setText(tr("波形名を入力(&L):"));
    line->setPlaceholderText(tr("例: しんぼうさいどう、shinbousaidou、AF、Wenckebach"));
    line->setAccessibleName(tr("波形名"));
    line->setAccessibleDescription(
        tr("日本語（漢字・かな・ローマ字）、英語、略語で入力し、Enter で回答します。"));
}

// Enter answers here and goes no further: the window would otherwise take the same key press
// as the next step. With the completion open, Enter takes the name offered first.
bool RecallBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == line && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            submit();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pulsavo
