#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace lw {

class InstanceLock;
class InstanceServer;
class RunGuards;
class MainWindow;

// One run of the program: start-up up to the main window being ready to show.
class Letterwright
{
public:
    Letterwright();
    ~Letterwright();

    // Returns false when the program ends instead (a second instance, a data folder or file that
    // is missing or cannot be written, a first start whose library offer was declined); the main
    // window is then not created.
    // `files`: documents named on the command line (absolute paths). A second start hands them to
    // the instance already running, which opens them and comes to the front.
    bool StartUp(const QStringList& files = {});
    MainWindow* mainWindow() const { return window.get(); }
    // Opens the document named at start-up; after the window shows, so that its messages have one.
    void openStartFiles();
    // Where a second start finds the running instance: beside the single-instance lock.
    static QString socketPath();

private:
    bool takeInstanceLock();
    // A first start of an installed program: asks to copy the default library to `path`. False
    // when the user declines or the copy fails (told).
    bool offerDefaultLibrary(const QString& defaults, const QString& path);

    void handOver();
    void openFiles(const QStringList& files);

    QStringList startFiles;
    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<InstanceServer> instanceServer;
    std::unique_ptr<MainWindow> window;
    // Gone first: the check stops before the window and the lock go.
    std::unique_ptr<RunGuards> guards;
};

} // namespace lw
