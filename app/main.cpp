#include "TrainerApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pulsavo"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.1"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pulsavo.Pulsavo"));
    pulsavo::TrainerApp trainer;
    trainer.initApplication();
    return 0;
}
