#pragma once

#include "ClassHost.h"
#include "Discovery.h"
#include "RhythmPoll.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPixmap;
class QPushButton;

namespace pulsavo {

// The console's class on the room's network: start and end it, its code, addresses and QR
// code, who has joined (and who waits for approval), and "この波形は？" asked of everyone with the
// answers counted as they come. The session itself is the classroom library's.
class ClassPanel : public QWidget {
    Q_OBJECT
public:
    explicit ClassPanel(QWidget* parent = nullptr);
    ~ClassPanel() override;

    // The rhythm the console plays, for the question.
    std::function<std::optional<Rhythm>()> playingRhythm;

    // Listens on the room's network (or `address` when it is not null); false, with the reason
    // shown, when it cannot.
    bool startClass(const QHostAddress& address = {});
    void endClass();
    classroom::ClassHost* host() const { return session.get(); }
    bool hosting() const { return session != nullptr; }

    // Asks the class what the rhythm playing is; false when no class or rhythm.
    bool askRhythm();
    void closePoll();
    const classroom::RhythmPoll& poll() const { return asked; }
    QString notice() const;

    // A QR code of `text` with its quiet zone, black on white, `modulePixels` to a module.
    static QPixmap qrPixmap(const QString& text, int modulePixels = 4);

signals:
    // A class began (the host is listening) or ended.
    void classStarted();
    void classEnded();
    // For the debrief log: the question with its options, and each answer with its verdict.
    void pollAsked(const QString& question, const QStringList& options);
    void answerGiven(const QString& learner, const QString& option, bool correct);
    // The class, its learners or the answers changed (for the projector).
    void shownChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showSession();
    void showLearners();
    void showAnswers();
    void setNotice(const QString& text);

    std::unique_ptr<classroom::ClassHost> session;
    std::unique_ptr<classroom::DiscoveryResponder> responder;
    classroom::RhythmPoll asked;
    QStringList askedOptions;

    QPushButton* startButton = nullptr;
    QCheckBox* approvalBox = nullptr;
    QLabel* codeCaption = nullptr;
    QLabel* codeLabel = nullptr;
    QLabel* addressLabel = nullptr;
    QLabel* qrLabel = nullptr;
    QLabel* learnersCaption = nullptr;
    QListWidget* learnerList = nullptr;
    QPushButton* approveButton = nullptr;
    QPushButton* rejectButton = nullptr;
    QPushButton* askButton = nullptr;
    QPushButton* closeButton = nullptr;
    QLabel* answersLabel = nullptr;
    QLabel* noticeLabel = nullptr;
};

} // namespace pulsavo
