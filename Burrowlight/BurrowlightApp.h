#pragma once

namespace burrowlight {

// The application role: builds the tray presence and runs the event loop until Quit.
class BurrowlightApp {
public:
    static int main(int argc, char** argv);
};

} // namespace burrowlight
