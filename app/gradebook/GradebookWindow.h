#pragma once

#include "Gradebook.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QThread;

namespace pulsavo {

// The class's grades for one exam (採点): files dropped on the window or added with a button,
// answers databases and hand-ins in any mix, graded on a thread of their own so that 200 files
// never stop the window. It shows each learner's score, pass, time and hinted answers, the item
// analysis and the class's confusions, names every file it could not count, saves the same CSV
// and PDF as `pulsavo-strip gradebook`, and makes a remediation exam of the weakest rhythms.
class GradebookWindow : public QWidget {
    Q_OBJECT
public:
    explicit GradebookWindow(QWidget* parent = nullptr);
    ~GradebookWindow() override;

    void setExamCode(const QString& code);
    // Files already listed are not listed again.
    void addFiles(const QStringList& paths);
    // Waits for the grading under way, and delivers it (tests, and before saving).
    void finishGrading();

    const std::optional<GradebookResult>& result() const { return graded; }
    const QStringList& files() const { return listed; }
    // The latest remediation exam's code; empty before one is made.
    QString remediationCode() const;
    // What a notice says in the window's language, naming its file.
    static QString noticeText(const GradebookNotice& notice);

    bool saveCsv(const QString& fileName);
    bool savePdf(const QString& fileName);
    bool makeRemediation();

    // Tests answer the save dialogs through this instead.
    std::function<QString(const QString& suggested)> askSavePath;

signals:
    // The practice window should start the exam with this code.
    void practiceRequested(const QString& examCode);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void retranslate();
    void regrade();
    void startGrading();
    void showResult(const GradebookResult& result);
    void showNotices();
    void chooseFiles();
    void clearFiles();
    void saveAs(bool pdf);
    bool saveReport(const QString& fileName, bool pdf);
    std::optional<Exam> exam() const;

    QLineEdit* codeEdit = nullptr;
    QLabel* codeLabel = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* clearButton = nullptr;
    QLabel* summaryLabel = nullptr;
    QLabel* noticeLabel = nullptr;
    QTabWidget* tabs = nullptr;
    QTableWidget* learnerTable = nullptr;
    QTableWidget* itemTable = nullptr;
    QTableWidget* pairTable = nullptr;
    QPushButton* remediationButton = nullptr;
    QLabel* countLabel = nullptr;
    QSpinBox* countBox = nullptr;
    QLineEdit* remediationEdit = nullptr;
    QLabel* remediationLabel = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* practiceButton = nullptr;
    QPushButton* csvButton = nullptr;
    QPushButton* pdfButton = nullptr;
    QPushButton* closeButton = nullptr;

    QStringList listed;
    QStringList skipped; // given again: listed once
    QString savedTo;     // the last file written, or the one that could not be
    bool saveFailed = false;
    std::optional<GradebookResult> graded;
    std::optional<Exam> gradedExam;
    Remediation remediation;
    QThread* grader = nullptr;
    bool gradeAgain = false;
};

} // namespace pulsavo
