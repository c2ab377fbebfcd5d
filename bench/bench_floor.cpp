// Not a benchmark itself: the least a 10 ms repaint costs, run beside the dialog by
// bench_sweeprate, which reads its CPU time over the same wall time.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The least a monitor at the tick rate can cost: a 32 x 32 widget repainted from a 10 ms
// precise timer, with nothing else to do.
class Blinker : public QWidget {
public:
    Blinker() {
        setFixedSize(32, 32);
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            ++frame;
            update();
        });
        timer.start();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), (frame & 1) != 0 ? Qt::black : Qt::green);
    }

private:
    QTimer timer;
    unsigned frame = 0;
};

} // namespace

// Usage: bench_floor [SECONDS]
// The floor program the dialog benchmarks measure the trainer's CPU time against, in the same
// window of time and with the trainer's window-system settings, which it takes from its
// environment: it runs until it is ended, or for SECONDS when given.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Blinker blinker;
    blinker.show();
    if (argc > 1) {
        const double seconds = std::atof(argv[1]);
        if (!(seconds > 0 && seconds <= 3600)) {
            std::fputs("bench_floor: SECONDS must be more than 0 and at most 3600\n", stderr);
            return 2;
        }
        QTimer::singleShot(static_cast<int>(seconds * 1000), &application, &QApplication::quit);
    }
    return QApplication::exec();
}
