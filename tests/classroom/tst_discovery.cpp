#include "Discovery.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace pulsavo::classroom;

namespace {

constexpr int waitMs = 20000;

const QUrl joinA(QStringLiteral("ws://127.0.0.1:40000"));
const QUrl pageA(QStringLiteral("http://127.0.0.1:40001/?code=KX79QA"));
const QUrl joinB(QStringLiteral("ws://127.0.0.1:50000"));
const QUrl pageB(QStringLiteral("http://127.0.0.1:50001/?code=ABC234"));

QByteArray find(const QString& code, double id) {
    return QStringLiteral(R"({"v":1,"t":"find","code":"%1","id":%2})").arg(code).arg(id).toUtf8();
}

// A responder for KX79QA and a peer on loopback sending it datagrams.
struct Peer {
    explicit Peer(quint16 port) : port(port) {
        QVERIFY(responder.start(QStringLiteral("KX79QA"), joinA, pageA));
        QVERIFY(socket.bind(QHostAddress::LocalHost, 0));
    }
    void send(const QByteArray& datagram) {
        QCOMPARE(socket.writeDatagram(datagram, QHostAddress::LocalHost, port), datagram.size());
    }
    quint16 port;
    DiscoveryResponder responder{port};
    QSignalSpy answered{&responder, &DiscoveryResponder::answered};
    QSignalSpy ignored{&responder, &DiscoveryResponder::ignored};
    QUdpSocket socket;
};

} // namespace

class DiscoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void findsTheHostByCode_data();
    void findsTheHostByCode();
    void ignoresBadDatagrams_data();
    void ignoresBadDatagrams();
    void answersAFewPerSender();
    void answerChecks_data();
    void answerChecks();
    void portTaken();

private:
    quint16 port = 0;
};

// A port no other test run is using: one the system just handed out.
void DiscoveryTest::initTestCase() {
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress::AnyIPv4, 0));
    port = probe.localPort();
}

void DiscoveryTest::findsTheHostByCode_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QUrl>("join");
    QTest::addColumn<QUrl>("page");
    QTest::newRow("the first") << "KX79QA" << joinA << pageA;
    QTest::newRow("the second, typed loosely") << "abc-234" << joinB << pageB;
    QTest::newRow("a code no one holds") << "ZZZ222" << QUrl() << QUrl();
}

// Two hosts on one machine share the port; each answers for its own code only.
void DiscoveryTest::findsTheHostByCode() {
    QFETCH(QString, typed);
    QFETCH(QUrl, join);
    QFETCH(QUrl, page);
    DiscoveryResponder a(port);
    DiscoveryResponder b(port);
    QString error;
    QVERIFY2(a.start(QStringLiteral("kx7 9qa"), joinA, pageA, &error), qPrintable(error));
    QVERIFY2(b.start(QStringLiteral("ABC234"), joinB, pageB, &error), qPrintable(error));
    DiscoveryQuery query;
    QSignalSpy found(&query, &DiscoveryQuery::found);
    QSignalSpy failed(&query, &DiscoveryQuery::failed);
    DiscoveryQuery::Options options;
    options.port = port;
    options.timeoutMs = join.isEmpty() ? 1500 : waitMs;
    QVERIFY(query.start(typed, options, &error));
    QTRY_COMPARE_WITH_TIMEOUT(found.count() + failed.count(), 1, waitMs + 5000);
    if (join.isEmpty()) {
        QVERIFY(failed.at(0).at(0).toString().contains(QStringLiteral("ZZZ222")));
    } else {
        QCOMPARE(found.at(0).at(0).toUrl(), join);
        QCOMPARE(query.pageUrl(), page);
    }
    QVERIFY(!query.start(QStringLiteral("O0O0O0"), options, &error));
}

void DiscoveryTest::ignoresBadDatagrams_data() {
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QString>("why");
    QTest::newRow("not JSON") << QByteArray("\x01\xff{{") << "malformed";
    QTest::newRow("an array") << QByteArray("[1,2]") << "malformed";
    QTest::newRow("oversized") << find(QStringLiteral("KX79QA"), 1).append(600, ' ') << "oversized";
    QTest::newRow("another version")
        << QByteArray(R"({"v":2,"t":"find","code":"KX79QA","id":1})") << "malformed";
    QTest::newRow("an answer") << discovery::encodeAnswer({"KX79QA", 1, joinA, pageA})
                               << "malformed";
    QTest::newRow("an extra field")
        << QByteArray(R"({"v":1,"t":"find","code":"KX79QA","id":1,"x":0})") << "malformed";
    QTest::newRow("no id") << QByteArray(R"({"v":1,"t":"find","code":"KX79QA"})") << "malformed";
    QTest::newRow("a fractional id") << find(QStringLiteral("KX79QA"), 1.5) << "malformed";
    QTest::newRow("an id past 32 bits")
        << find(QStringLiteral("KX79QA"), 4294967296.0) << "malformed";
    QTest::newRow("a code not canonical") << find(QStringLiteral("kx79qa"), 1) << "malformed";
    QTest::newRow("another code") << find(QStringLiteral("ABC234"), 1) << "another code";
}

// Whatever else arrives is dropped without an answer, and the next good query is still answered.
void DiscoveryTest::ignoresBadDatagrams() {
    QFETCH(QByteArray, datagram);
    QFETCH(QString, why);
    Peer peer(port);
    peer.send(datagram);
    peer.send(find(QStringLiteral("KX79QA"), 77));
    QTRY_VERIFY_WITH_TIMEOUT(peer.socket.hasPendingDatagrams(), waitMs);
    const auto answer = discovery::decodeAnswer(peer.socket.receiveDatagram().data());
    QCOMPARE(answer, (discovery::Answer{"KX79QA", 77, joinA, pageA}));
    QVERIFY(!peer.socket.hasPendingDatagrams());
    QCOMPARE(peer.ignored.count(), 1);
    QCOMPARE(peer.ignored.at(0).at(0).toString(), why);
}

// A peer repeating its query gets a burst of answers and then only a trickle: the responder
// cannot be used to flood anyone.
void DiscoveryTest::answersAFewPerSender() {
    Peer peer(port);
    constexpr int sent = 60;
    for (int i = 0; i < sent; ++i) {
        peer.send(find(QStringLiteral("KX79QA"), i));
    }
    QTRY_COMPARE_WITH_TIMEOUT(peer.answered.count() + peer.ignored.count(), sent, waitMs);
    QVERIFY(peer.answered.count() >= DiscoveryResponder::burstAnswers);
    QVERIFY2(peer.answered.count() < sent / 2, qPrintable(QString::number(peer.answered.count())));
    QCOMPARE(peer.ignored.at(0).at(0).toString(), QStringLiteral("flood"));
}

void DiscoveryTest::answerChecks_data() {
    QTest::addColumn<QString>("join");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("valid");
    const QString page = QStringLiteral("http://10.0.0.2:2/?code=KX79QA");
    QTest::newRow("a room's address") << "ws://10.0.0.2:1/" << page << true;
    QTest::newRow("unique-local IPv6") << "ws://[fd00::5]:1"
                                       << "http://[fd00::5]:2/" << true;
    QTest::newRow("a public address") << "ws://8.8.8.8:1"
                                      << "http://8.8.8.8:2/" << false;
    QTest::newRow("a name to look up") << "ws://example.com:1" << page << false;
    QTest::newRow("no port") << "ws://10.0.0.2" << page << false;
    QTest::newRow("schemes swapped") << "http://10.0.0.2:1"
                                     << "ws://10.0.0.2:2/" << false;
    QTest::newRow("a path to join") << "ws://10.0.0.2:1/x" << page << false;
    QTest::newRow("credentials") << "ws://u:p@10.0.0.2:1" << page << false;
}

// A learner follows an answer only to a literal address on the room's network; a responder will
// not start with anything else to tell.
void DiscoveryTest::answerChecks() {
    QFETCH(QString, join);
    QFETCH(QString, page);
    QFETCH(bool, valid);
    const discovery::Answer answer{"KX79QA", 4000000000U, QUrl(join), QUrl(page)};
    const QByteArray bytes = discovery::encodeAnswer(answer);
    QVERIFY(bytes.size() <= discovery::maxDatagramBytes);
    QCOMPARE(discovery::decodeAnswer(bytes) == answer, valid);
    DiscoveryResponder responder(port);
    QString error;
    QCOMPARE(responder.start(QStringLiteral("KX79QA"), QUrl(join), QUrl(page), &error), valid);
    QCOMPARE(error.isEmpty(), valid);
}

// Another program holding the port without sharing it: the responder says so and stays off.
void DiscoveryTest::portTaken() {
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    DiscoveryResponder responder(holder.localPort());
    QString error;
    QVERIFY(!responder.start(QStringLiteral("KX79QA"), joinA, pageA, &error));
    QVERIFY2(error.contains(QString::number(holder.localPort())), qPrintable(error));
    QVERIFY(!responder.isActive());
}

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_discovery.moc"
