#include "TrainerApp.h"

#include "TrainerDialog.h"

namespace pulsavo {

bool TrainerApp::initApplication() {
    TrainerDialog dialog;
    dialog.exec();
    return false;
}

} // namespace pulsavo
