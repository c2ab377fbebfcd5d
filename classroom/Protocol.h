#pragma once

#include "Artifact.h"
#include "Rhythm.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace pulsavo::classroom {

// The classroom's messages: one JSON object per WebSocket text message, carrying the protocol
// version "v" and its type "t". Everything a peer sends is checked here before any other code
// sees it; the decoder never throws and says why it refused.
namespace protocol {

inline constexpr int version = 1;
// No message either way is larger; a learner's are far smaller.
inline constexpr int maxMessageBytes = 16 * 1024;
inline constexpr int maxNameLength = 40;
inline constexpr int maxParameters = 32;
inline constexpr int maxIdLength = 40;
inline constexpr int maxPollOptions = 16;
inline constexpr int maxOptionLength = 80;
inline constexpr int maxQuestionLength = 200;
inline constexpr int maxSamples = 200;
// Ticks travel as JSON numbers: whole and exactly representable.
inline constexpr std::int64_t maxTick = std::int64_t{1} << 50;

enum class Type {
    hello,      // learner → host: code, name, client kind
    welcome,    // host → learner: session id, client id, host tick
    pending,    // host → learner: waiting for the instructor's approval
    refuse,     // host → learner: reason, then the host closes
    state,      // rhythm, seed, artifact and parameters from tick `at` on
    change,     // parameter values reached over `ramp` ticks from tick `at`
    transition, // to another rhythm by a named way, from tick `at`
    event,      // an instructor's event (a PVC now, a shock) at tick `at`
    freeze,     // the monitors hold (on) or run again from tick `at`
    sync,       // host → learner: the ticks the host has stepped
    samples,    // host → browser learner: the trace itself, for a page with no model
    poll,       // host → learner: a question and its options
    pollClose,  // host → learner: answers to that question are no longer taken
    answer,     // learner → host: the option chosen
    bye,        // either way: leaving
};

enum class ClientKind { desktop, browser };

enum class Refusal { malformed, version, code, full, rejected, flood, network, closed };

struct Parameter {
    QString id;
    double value = 0;
    bool operator==(const Parameter&) const = default;
};

struct ArtifactSetting {
    ArtifactKind kind = ArtifactKind::wander;
    int strength = 0;
    bool operator==(const ArtifactSetting&) const = default;
};

// One message of any type; the fields a type does not use keep their defaults.
struct Message {
    Type type = Type::bye;
    std::int64_t at = 0;   // timeline messages: the tick they take effect before stepping
    std::int64_t tick = 0; // welcome, sync: the ticks the host has stepped; samples: the first
    QString code;
    QString name;
    ClientKind client = ClientKind::desktop;
    Refusal reason = Refusal::malformed;
    QString session;
    int clientId = 0;
    std::optional<Rhythm> rhythm; // state, transition; a shock: what follows it
    std::uint32_t seed = 0;
    std::vector<ArtifactSetting> artifacts;
    std::vector<Parameter> parameters;
    int ramp = 0;   // change, transition: ticks; a shock: its pause
    QString action; // transition: the way; event: which (pvc_now, block_beat, defibrillate)
    bool on = false;
    int poll = 0;
    QString pollKind; // rhythm, field, choice
    QString question;
    QStringList options;
    int choice = -1;
    std::vector<int> ys; // samples: the trace's y per tick
    QByteArray marks;    // samples: per tick '0' plain, '1' red, '2' beep, '3' both
    bool operator==(const Message&) const = default;
};

// Whether a message belongs to the timeline every learner's model replays.
bool isTimeline(Type type);

struct Decoded {
    std::optional<Message> message;
    QString error; // why it was refused, for logs and tests; empty when decoded
};

// Text shown to people (names, questions, options): no control or format characters and no
// broken surrogate pairs.
bool showable(const QString& text);
// A learner's name: showable, 1 to maxNameLength characters once trimmed.
bool validName(const QString& name);

QByteArray encode(const Message& message);
Decoded decode(const QByteArray& bytes);

QString refusalName(Refusal reason);
QString typeName(Type type);

} // namespace protocol
} // namespace pulsavo::classroom
