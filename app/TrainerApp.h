#pragma once

namespace pulsavo {

// The application object: it runs the trainer's one dialog and then lets the program end.
class TrainerApp {
public:
    // Runs the main dialog modally until the trainee closes it; always false, as there is no
    // event loop to run afterwards.
    bool initApplication();
};

} // namespace pulsavo
