// Lapdex: downloads the runs of a K7X Stopwatch laid on a PC/SC reader.
#include "lapdex_app.h"

int main(int argc, char** argv) {
    lapdex::ui::CLapdexApp app(argc, argv);
    return app.run();
}
