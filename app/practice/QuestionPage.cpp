#include "QuestionPage.h"

#include "CatalogueText.h"
#include "FeedbackPage.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pulsavo {

namespace {

constexpr int rhythmRole = Qt::UserRole;

Rhythm rhythmOfItem(const QListWidgetItem* item) {
    return anyRhythmAt(item->data(rhythmRole).toInt()).value_or(Rhythm::sinusRhythm);
}

} // namespace

QuestionPage::QuestionPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("questionPage"));
    auto* layout = new QHBoxLayout(this);
    auto* answering = new QVBoxLayout;
    answerLabel = new QLabel(this);
    answerLabel->setObjectName(QStringLiteral("answerLabel"));
    answerList = new QListWidget(this);
    answerList->setObjectName(QStringLiteral("answerList"));
    answerList->setSelectionMode(QAbstractItemView::SingleSelection);
    // Long English names wrap between words: a fixed row cut them mid-word and a horizontal
    // scroll showed only their middle.
    answerList->setWordWrap(true);
    answerList->setTextElideMode(Qt::ElideNone);
    answerList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    answerList->setResizeMode(QListView::Adjust);
    answerList->setMinimumWidth(answerList->fontMetrics().averageCharWidth() * 14);
    answerLabel->setBuddy(answerList);
    answerList->installEventFilter(this);
    hintButton = new QPushButton(this);
    hintButton->setObjectName(QStringLiteral("hintButton"));
    answerButton = new QPushButton(this);
    answerButton->setObjectName(QStringLiteral("answerButton"));
    answering->addWidget(answerLabel);
    answering->addWidget(answerList, 1);
    layout->addLayout(answering, 2);
    feedbackPage = new FeedbackPage(this);
    layout->addWidget(feedbackPage, 3);
    buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("questionButtons"));
    auto* rows = new QVBoxLayout(buttons);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* answerRow = new QHBoxLayout;
    answerRow->addWidget(hintButton);
    answerRow->addWidget(answerButton);
    answerRow->addStretch();
    answerRow->addWidget(feedbackPage->goButtons());
    rows->addLayout(answerRow);
    rows->addWidget(feedbackPage->studyButtons());

    connect(answerList, &QListWidget::itemDoubleClicked, this, &QuestionPage::submitSelected);
    connect(answerList, &QListWidget::itemSelectionChanged, this,
            [this] { answerButton->setEnabled(asking && !answerList->selectedItems().isEmpty()); });
    connect(answerButton, &QPushButton::clicked, this, &QuestionPage::submitSelected);
    connect(hintButton, &QPushButton::clicked, this, &QuestionPage::hintRequested);
}

void QuestionPage::fill(RhythmSet choices, catalogue::Language language) {
    answerList->clear();
    for (const Rhythm rhythm : choices.list()) {
        auto* item = new QListWidgetItem(answerList);
        item->setData(rhythmRole, indexOf(rhythm));
    }
    retranslate(language);
}

void QuestionPage::ask() {
    asking = true;
    answerList->setEnabled(true);
    answerList->selectionModel()->clear();
    answerList->scrollToTop();
    hintButton->setEnabled(hintAllowed);
    answerButton->setEnabled(false);
    answerList->setFocus();
}

void QuestionPage::lock() {
    asking = false;
    answerList->setEnabled(false);
    hintButton->setEnabled(false);
    answerButton->setEnabled(false);
}

void QuestionPage::hintTaken() {
    hintButton->setEnabled(false);
    answerList->setFocus();
}

void QuestionPage::setHintAllowed(bool allowed) {
    hintAllowed = allowed;
    hintButton->setVisible(allowed);
    hintButton->setEnabled(allowed && asking);
}

void QuestionPage::submitSelected() {
    const QList<QListWidgetItem*> selected = answerList->selectedItems();
    if (asking && !selected.isEmpty()) {
        emit answerChosen(rhythmOfItem(selected.first()));
    }
}

void QuestionPage::retranslate(catalogue::Language language) {
    answerLabel->setText(tr("波形名(&L):"));
    hintButton->setText(tr("ヒント(&H)"));
    hintButton->setToolTip(
        tr("モニターに注目する部分を赤で示します。この問題はヒント使用になります。"));
    answerButton->setText(tr("回答(&A)"));
    for (int row = 0; row < answerList->count(); ++row) {
        QListWidgetItem* item = answerList->item(row);
        item->setText(rhythmName(rhythmOfItem(item), language));
        item->setToolTip(item->text());
    }
}

bool QuestionPage::eventFilter(QObject* watched, QEvent* event) {
    // The list makes its first row current, unselected, when it takes the focus; the first
    // arrow key would then skip it, so the arrows start from no row. From no row the list lands
    // every key on the first name: End and PageDown start from the top instead.
    if (watched == answerList && event->type() == QEvent::KeyPress &&
        answerList->selectedItems().isEmpty()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            answerList->selectionModel()->clearCurrentIndex();
        } else if ((key == Qt::Key_End || key == Qt::Key_PageDown) &&
                   !answerList->currentIndex().isValid() && answerList->count() > 0) {
            answerList->selectionModel()->setCurrentIndex(answerList->model()->index(0, 0),
                                                          QItemSelectionModel::NoUpdate);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pulsavo
