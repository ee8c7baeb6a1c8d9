// One running copy per user: a lock file and a local socket named "Lapdex.exe" in the
// user's runtime folder. A second start asks the first to come to the front.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace lapdex::ui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kName = "Lapdex.exe";

    // `folder`: where the lock file and the socket live (the user's runtime folder).
    explicit SingleInstance(const QString& folder);
    ~SingleInstance() override;

    // True when this is the first copy; it then listens for later starts.
    bool acquire();
    // For a later copy: tells the first one to show its window. False when it cannot be reached.
    bool notifyFirst(int timeoutMs = 2000);

    // The user's runtime folder (XDG_RUNTIME_DIR), else the temporary folder.
    static QString defaultFolder();

signals:
    void activationRequested();

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

// Brings the top-level window titled `title` to the front, restoring it when minimised.
// False when there is none.
bool raiseWindowTitled(const QString& title);

}  // namespace lapdex::ui
