#pragma once

#include <QString>
#include <memory>

namespace lw {

class InstanceLock;
class frmMail;

// One run of the program: start-up up to the main window being ready to show.
class Letterwright
{
public:
    Letterwright();
    ~Letterwright();

    // Returns false when the program ends instead (a second instance, a data folder or file that
    // is missing or cannot be written); the main window is then not created.
    bool StartUp();
    frmMail* mainWindow() const { return window.get(); }

private:
    bool takeInstanceLock();

    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<frmMail> window;
};

} // namespace lw
