#include "GradebookWindow.h"

#include "GradebookReport.h"
#include "HandIn.h"
#include "LanguageManager.h"
#include "Settings.h"
#include "WindowFit.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <cmath>

namespace pulsavo {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

catalogue::Language language() {
    return LanguageManager::instance().language();
}

QString nameOf(Rhythm rhythm) {
    return reportRhythmName(rhythm, language());
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QTableWidget* makeTable(QWidget* parent, const char* name) {
    auto* table = named(new QTableWidget(parent), name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() * 3 / 2);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    return table;
}

void fill(QTableWidget* table, int rows, const std::function<QStringList(int)>& row) {
    table->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const QStringList cells = row(r);
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
}

// A remediation exam leans on a quarter of the graded exam's questions' worth of weak rhythms,
// so that each of them comes up more than once.
// A hand-in is a few kilobytes; a larger file is left to the grading to report.
constexpr qint64 handInSizeLimit = qint64{1} << 20;

int weakRhythmLimit(int questions) {
    return std::clamp(questions / 4, 1, 8);
}

} // namespace

GradebookWindow::GradebookWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("gradebookWindow"));
    setAcceptDrops(true);
    buildControls();
    retranslate();
    const Settings settings;
    codeEdit->setText(settings.gradebookExam());
    resize(fontMetrics().averageCharWidth() * 130, fontMetrics().height() * 40);
    restoreGeometry(settings.gradebookGeometry());
    fitToScreen(this);
    regrade();
}

GradebookWindow::~GradebookWindow() {
    if (grader != nullptr) {
        grader->wait();
        delete grader;
    }
}

void GradebookWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* codeRow = new QHBoxLayout;
    codeLabel = new QLabel(this);
    codeEdit = named(new QLineEdit(this), "examCodeEdit");
    codeLabel->setBuddy(codeEdit);
    addButton = named(new QPushButton(this), "addFilesButton");
    clearButton = named(new QPushButton(this), "clearFilesButton");
    codeRow->addWidget(codeLabel);
    codeRow->addWidget(codeEdit, 1);
    codeRow->addWidget(addButton);
    codeRow->addWidget(clearButton);
    layout->addLayout(codeRow);

    summaryLabel = named(new QLabel(this), "summaryLabel");
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);
    noticeLabel = named(new QLabel(this), "noticeLabel");
    noticeLabel->setWordWrap(true);
    noticeLabel->setFrameShape(QFrame::StyledPanel);
    noticeLabel->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; padding: 4px; }"));
    noticeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    noticeLabel->hide();
    layout->addWidget(noticeLabel);

    tabs = named(new QTabWidget(this), "gradebookTabs");
    learnerTable = makeTable(tabs, "learnerTable");
    itemTable = makeTable(tabs, "itemTable");
    pairTable = makeTable(tabs, "pairTable");
    tabs->addTab(learnerTable, QString());
    tabs->addTab(itemTable, QString());
    tabs->addTab(pairTable, QString());
    layout->addWidget(tabs, 1);

    auto* remediationRow = new QHBoxLayout;
    remediationButton = named(new QPushButton(this), "remediationButton");
    countLabel = new QLabel(this);
    countBox = named(new QSpinBox(this), "remediationCountBox");
    countBox->setRange(1, Exam::maxCount);
    countLabel->setBuddy(countBox);
    remediationEdit = named(new QLineEdit(this), "remediationCodeEdit");
    remediationEdit->setReadOnly(true);
    // Room for the longest code, so that it can be read off and copied whole.
    remediationEdit->setMinimumWidth(remediationEdit->fontMetrics().horizontalAdvance(
                                         QStringLiteral("PX-0000-0000-0000-0000-0000-0000-00")) +
                                     remediationEdit->fontMetrics().averageCharWidth() * 2);
    copyButton = named(new QPushButton(this), "copyCodeButton");
    practiceButton = named(new QPushButton(this), "openPracticeButton");
    remediationRow->addWidget(remediationButton);
    remediationRow->addWidget(countLabel);
    remediationRow->addWidget(countBox);
    remediationRow->addWidget(remediationEdit, 1);
    remediationRow->addWidget(copyButton);
    remediationRow->addWidget(practiceButton);
    layout->addLayout(remediationRow);
    remediationLabel = named(new QLabel(this), "remediationLabel");
    remediationLabel->setWordWrap(true);
    layout->addWidget(remediationLabel);

    auto* buttonRow = new QHBoxLayout;
    csvButton = named(new QPushButton(this), "saveCsvButton");
    pdfButton = named(new QPushButton(this), "savePdfButton");
    closeButton = named(new QPushButton(this), "closeButton");
    buttonRow->addWidget(csvButton);
    buttonRow->addWidget(pdfButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);
    layout->addLayout(buttonRow);

    connect(codeEdit, &QLineEdit::textChanged, this, &GradebookWindow::regrade);
    connect(addButton, &QPushButton::clicked, this, &GradebookWindow::chooseFiles);
    connect(clearButton, &QPushButton::clicked, this, &GradebookWindow::clearFiles);
    connect(remediationButton, &QPushButton::clicked, this, &GradebookWindow::makeRemediation);
    connect(copyButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(remediationEdit->text()); });
    connect(practiceButton, &QPushButton::clicked, this,
            [this] { emit practiceRequested(remediationEdit->text()); });
    connect(csvButton, &QPushButton::clicked, this, [this] { saveAs(false); });
    connect(pdfButton, &QPushButton::clicked, this, [this] { saveAs(true); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

void GradebookWindow::retranslate() {
    setWindowTitle(tr("採点 - Pulsavo"));
    codeLabel->setText(tr("試験コード(&E):"));
    codeEdit->setPlaceholderText(tr("PX-…"));
    addButton->setText(tr("ファイルを追加(&A)..."));
    addButton->setToolTip(tr("解答データベースと提出ファイルを選びます。ウィンドウにドロップしても"
                             "追加できます。"));
    clearButton->setText(tr("クリア(&L)"));
    tabs->setTabText(0, tr("受験者", "the tab listing every learner"));
    tabs->setTabText(1, tr("問題の分析"));
    tabs->setTabText(2, tr("取り違え"));
    learnerTable->setColumnCount(7);
    learnerTable->setHorizontalHeaderLabels(
        {tr("受験者"), tr("得点"), tr("%"), tr("判定"), tr("時間"), tr("ヒント"), tr("ファイル")});
    itemTable->setColumnCount(6);
    itemTable->setHorizontalHeaderLabels({tr("問"), tr("波形"), tr("正答率"), tr("識別力"),
                                          tr("多い誤答(人数)"), tr("判定のポイント")});
    pairTable->setColumnCount(4);
    pairTable->setHorizontalHeaderLabels(
        {tr("回数"), tr("出題"), tr("回答"), tr("回答した波形の判定のポイント")});
    remediationButton->setText(tr("復習試験を作る(&R)"));
    remediationButton->setToolTip(
        tr("正答率の低い波形と、それと取り違えた波形で、同じ設定の試験を作ります。"));
    countLabel->setText(tr("問題数(&N):"));
    copyButton->setText(tr("コピー(&C)"));
    practiceButton->setText(tr("練習モードで開く(&P)"));
    csvButton->setText(tr("CSV を保存(&S)..."));
    pdfButton->setText(tr("PDF を保存(&D)..."));
    closeButton->setText(tr("閉じる"));
}

std::optional<Exam> GradebookWindow::exam() const {
    const ExamResult parsed = parseExamCode(codeEdit->text().toStdString());
    return parsed.ok() ? std::optional<Exam>(parsed.exam) : std::nullopt;
}

void GradebookWindow::setExamCode(const QString& code) {
    codeEdit->setText(code);
}

void GradebookWindow::addFiles(const QStringList& paths) {
    skipped.clear();
    for (const QString& path : paths) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (listed.contains(absolute)) {
            skipped << absolute;
        } else {
            listed << absolute;
        }
    }
    if (codeEdit->text().trimmed().isEmpty()) {
        // Files dropped before a code is typed: a sound hand-in names its exam.
        for (const QString& path : std::as_const(listed)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly) && HandIn::looksLike(file.peek(64)) &&
                file.size() < handInSizeLimit) {
                const QString code = HandIn::read(file.readAll()).examCode;
                if (!code.isEmpty()) {
                    const QSignalBlocker quiet(codeEdit);
                    codeEdit->setText(code);
                    break;
                }
            }
        }
    }
    regrade();
}

void GradebookWindow::clearFiles() {
    listed.clear();
    skipped.clear();
    regrade();
}

void GradebookWindow::chooseFiles() {
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, tr("採点するファイル"), QString(),
        tr("解答データベースと提出ファイル (*.sqlite *.csv);;すべてのファイル (*)"));
    if (!chosen.isEmpty()) {
        addFiles(chosen);
    }
}

void GradebookWindow::regrade() {
    savedTo.clear();
    const std::optional<Exam> wanted = exam();
    const bool ready = wanted && !listed.isEmpty();
    if (!ready) {
        graded.reset();
        gradedExam.reset();
        showResult(GradebookResult{});
        if (!wanted) {
            summaryLabel->setText(
                codeEdit->text().trimmed().isEmpty()
                    ? tr("試験コードを入力してください。")
                    : tr("試験コードが正しくありません。入力を確かめてください。"));
        } else {
            summaryLabel->setText(tr("解答データベースや提出ファイルをこのウィンドウにドロップ"
                                     "するか、「ファイルを追加」で選んでください。"));
        }
        return;
    }
    if (!gradedExam || gradedExam->code != wanted->code) {
        countBox->setValue(wanted->count);
    }
    startGrading();
}

void GradebookWindow::startGrading() {
    if (grader != nullptr) {
        gradeAgain = true;
        return;
    }
    summaryLabel->setText(tr("採点中… (ファイル %1 件)").arg(listed.size()));
    const Exam taken = *exam();
    const QStringList files = listed;
    grader = QThread::create([this, taken, files] {
        Gradebook gradebook(taken);
        for (const QString& file : files) {
            gradebook.addFile(file);
        }
        GradebookResult done = gradebook.result();
        QMetaObject::invokeMethod(
            this,
            [this, taken, done = std::move(done)] {
                grader->wait();
                delete grader;
                grader = nullptr;
                if (gradeAgain) {
                    // The code or the files changed meanwhile: this result is already stale.
                    gradeAgain = false;
                    regrade();
                    return;
                }
                graded = done;
                gradedExam = taken;
                showResult(done);
            },
            Qt::QueuedConnection);
    });
    grader->start();
}

void GradebookWindow::finishGrading() {
    while (grader != nullptr) {
        grader->wait();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

void GradebookWindow::showResult(const GradebookResult& result) {
    const int count = gradedExam ? gradedExam->count : 0;
    fill(learnerTable, static_cast<int>(result.learners.size()), [&](int r) {
        const LearnerGrade& grade = result.learners[static_cast<std::size_t>(r)];
        return QStringList{grade.learner,
                           QStringLiteral("%1 / %2").arg(grade.score).arg(count),
                           QString::number(std::lround(grade.percent)),
                           grade.passed ? (*grade.passed ? tr("合格") : tr("不合格"))
                                        : QStringLiteral("-"),
                           minutesText(grade.totalMs),
                           QString::number(grade.hinted),
                           QFileInfo(grade.source).fileName()};
    });
    for (int r = 0; r < learnerTable->rowCount(); ++r) {
        learnerTable->item(r, 6)->setToolTip(
            native(result.learners[static_cast<std::size_t>(r)].source));
    }
    fill(itemTable, static_cast<int>(result.items.size()), [&](int r) {
        const ItemAnalysis& item = result.items[static_cast<std::size_t>(r)];
        return QStringList{QString::number(item.number),
                           nameOf(item.rhythm),
                           QStringLiteral("%1 %").arg(std::lround(100 * item.shareCorrect)),
                           item.discrimination ? QString::number(*item.discrimination, 'f', 2)
                                               : QStringLiteral("-"),
                           item.commonestWrong ? QStringLiteral("%1 (%2)")
                                                     .arg(nameOf(*item.commonestWrong))
                                                     .arg(item.commonestWrongCount)
                                               : QStringLiteral("-"),
                           item.commonestWrong ? firstKeyPoint(*item.commonestWrong, language())
                                               : QString()};
    });
    fill(pairTable, static_cast<int>(result.confusions.size()), [&](int r) {
        const ConfusedPair& pair = result.confusions[r];
        return QStringList{QString::number(pair.count), nameOf(pair.shown), nameOf(pair.answered),
                           firstKeyPoint(pair.answered, language())};
    });
    if (graded) {
        double mean = 0.0;
        for (const LearnerGrade& grade : result.learners) {
            mean += grade.percent / static_cast<double>(result.learners.size());
        }
        QString facts = tr("受験者 %1 人、%2 問、平均 %3 %")
                            .arg(result.learners.size())
                            .arg(count)
                            .arg(std::lround(mean));
        if (gradedExam->settings.passPercent > 0) {
            facts += tr("、合格点 %1 %、合格 %2 人")
                         .arg(gradedExam->settings.passPercent)
                         .arg(result.passedCount());
        }
        summaryLabel->setText(facts);
    }
    const bool any = graded && !result.learners.empty();
    csvButton->setEnabled(any);
    pdfButton->setEnabled(any);
    remediationButton->setEnabled(any);
    countBox->setEnabled(any);
    if (!any) {
        remediation = {};
        remediationEdit->clear();
        remediationLabel->clear();
    }
    copyButton->setEnabled(!remediationEdit->text().isEmpty());
    practiceButton->setEnabled(!remediationEdit->text().isEmpty());
    showNotices();
}

QString GradebookWindow::noticeText(const GradebookNotice& notice) {
    using Kind = GradebookNotice::Kind;
    using Why = GradebookNotice::Unreadable;
    QString file = native(notice.source);
    switch (notice.kind) {
    case Kind::unreadable:
        switch (notice.why) {
        case Why::missing:
            return tr("%1: ファイルがありません。数えていません。").arg(file);
        case Why::cannotOpen:
            return tr("%1: 開けません (%2)。数えていません。").arg(file, notice.detail);
        case Why::damagedDatabase:
            return tr("%1: 解答データベースが壊れています。数えていません。").arg(file);
        case Why::olderDatabase:
            return tr("%1: 古い形式の解答データベースです。練習モードで一度開くと新しい形式に"
                      "なります。数えていません。")
                .arg(file);
        case Why::notDatabase:
            return tr("%1: 解答データベースではありません。数えていません。").arg(file);
        case Why::notOurs:
            return tr("%1: 解答データベースでも提出ファイルでもありません。数えていません。")
                .arg(file);
        case Why::tooLarge:
            return tr("%1: 提出ファイルにしては大きすぎます。数えていません。").arg(file);
        case Why::damagedHandIn:
            return tr("%1: 提出ファイルが壊れています(途中で切れているか、Pulsavo "
                      "が書いたものではありません)。数えていません。")
                .arg(file);
        }
        break;
    case Kind::edited:
        return tr("%1: チェックサムが合いません。書き出した後に変更された提出ファイルです。"
                  "数えていません。")
            .arg(file);
    case Kind::tooNew:
        return tr("%1: 新しい版の Pulsavo で書かれています。数えていません。").arg(file);
    case Kind::otherExam:
        return tr("%1: 別の試験 (%2) の解答です。数えていません。").arg(file, notice.detail);
    case Kind::noAnswers:
        return tr("%1: この試験の解答がありません。").arg(file);
    case Kind::duplicate:
        return tr("%1: 受験者「%2」は %3 ですでに採点しました。一度だけ数えます。")
            .arg(file, notice.learner, native(notice.detail));
    case Kind::retake:
        return tr("%1: 受験者「%2」は同じ問題に二度以上答えています。最初の回答を数えます。")
            .arg(file, notice.learner);
    case Kind::foreignItem:
        return tr("%1: %2 件の解答がこの試験のどの問題にも合いません。数えていません。")
            .arg(file, notice.detail);
    }
    return file;
}

void GradebookWindow::showNotices() {
    QStringList lines;
    if (graded) {
        for (const GradebookNotice& notice : graded->notices) {
            lines << noticeText(notice);
        }
        if (graded->learners.empty()) {
            lines << tr("採点できる解答がありませんでした。");
        }
    }
    for (const QString& again : skipped) {
        lines << tr("%1: すでに一覧にあります。一度だけ数えます。").arg(native(again));
    }
    if (!savedTo.isEmpty()) {
        lines << (saveFailed ? tr("%1 に保存できませんでした。").arg(native(savedTo))
                             : tr("%1 に保存しました。").arg(native(savedTo)));
    }
    noticeLabel->setText(lines.join(QLatin1Char('\n')));
    noticeLabel->setVisible(!lines.isEmpty());
}

void GradebookWindow::saveAs(bool pdf) {
    finishGrading();
    if (!gradedExam) {
        return;
    }
    const QString code = QString::fromStdString(gradedExam->code);
    const QString suggested = pdf ? code + QStringLiteral(".pdf") : code + QStringLiteral(".csv");
    const QString target = askSavePath
                               ? askSavePath(suggested)
                               : QFileDialog::getSaveFileName(
                                     this, pdf ? tr("PDF を保存") : tr("CSV を保存"), suggested,
                                     pdf ? tr("PDF ファイル (*.pdf)") : tr("CSV ファイル (*.csv)"));
    if (target.isEmpty()) {
        return;
    }
    if (pdf) {
        savePdf(target);
    } else {
        saveCsv(target);
    }
}

namespace {

// Whole or not at all: an old file of that name stays until the new one is on disk.
bool writeWhole(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

bool GradebookWindow::saveCsv(const QString& fileName) {
    return saveReport(fileName, false);
}

bool GradebookWindow::savePdf(const QString& fileName) {
    return saveReport(fileName, true);
}

bool GradebookWindow::saveReport(const QString& fileName, bool pdf) {
    finishGrading();
    if (!graded || graded->learners.empty()) {
        return false;
    }
    savedTo = fileName;
    saveFailed = !writeWhole(fileName, pdf ? gradebookPdf(*graded, *gradedExam, language())
                                           : gradebookCsv(*graded, *gradedExam, language()));
    showNotices();
    return !saveFailed;
}

bool GradebookWindow::makeRemediation() {
    finishGrading();
    if (!graded || graded->learners.empty()) {
        return false;
    }
    remediation = graded->remediation(weakRhythmLimit(gradedExam->count));
    remediationEdit->clear();
    if (remediation.empty()) {
        remediationLabel->setText(tr("全員が全問に正解しました。復習試験は要りません。"));
    } else {
        const auto seed = QRandomGenerator::global()->bounded(Exam::maxSeed + 1);
        const ExamResult made = remediationExam(*gradedExam, remediation, countBox->value(), seed);
        if (made.ok()) {
            remediationEdit->setText(QString::fromStdString(made.exam.code));
        }
        QStringList weak;
        QStringList contrast;
        for (const Rhythm rhythm : remediation.weak) {
            weak << nameOf(rhythm);
        }
        for (const Rhythm rhythm : remediation.contrast) {
            contrast << nameOf(rhythm);
        }
        QString text = tr("苦手な波形: %1").arg(weak.join(tr("、")));
        if (!contrast.isEmpty()) {
            text += tr("。対比: %1").arg(contrast.join(tr("、")));
        }
        remediationLabel->setText(text);
    }
    copyButton->setEnabled(!remediationEdit->text().isEmpty());
    practiceButton->setEnabled(!remediationEdit->text().isEmpty());
    return !remediationEdit->text().isEmpty();
}

QString GradebookWindow::remediationCode() const {
    return remediationEdit->text();
}

void GradebookWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && codeEdit != nullptr) {
        retranslate();
        if (graded) {
            showResult(*graded);
        } else {
            regrade();
        }
    }
    QWidget::changeEvent(event);
}

void GradebookWindow::closeEvent(QCloseEvent* event) {
    Settings settings;
    settings.setGradebookGeometry(saveGeometry());
    if (exam()) {
        settings.setGradebookExam(QString::fromStdString(exam()->code));
    }
    QWidget::closeEvent(event);
}

void GradebookWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void GradebookWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    if (!paths.isEmpty()) {
        addFiles(paths);
        event->acceptProposedAction();
    }
}

} // namespace pulsavo
