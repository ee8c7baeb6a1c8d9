// The application object: one copy per user, then the main window until it ends.
#pragma once

#include <QApplication>

namespace lapdex::ui {

class CLapdexApp : public QApplication {
    Q_OBJECT
public:
    CLapdexApp(int& argc, char** argv);
    // Runs the program; its exit code.
    int run();
};

}  // namespace lapdex::ui
