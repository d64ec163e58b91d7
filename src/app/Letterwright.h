#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace lw {

class frmMail;

// One run of the program: start-up up to the main window being ready to show.
class Letterwright
{
public:
    Letterwright();
    ~Letterwright();

    // Returns false when the program ends instead (a second instance, a missing or unwritable
    // data file); the main window is then not created.
    bool StartUp();
    frmMail* mainWindow() const { return window.get(); }

private:
    bool takeInstanceLock();

    std::unique_ptr<QLockFile> instanceLock;
    std::unique_ptr<frmMail> window;
};

} // namespace lw
