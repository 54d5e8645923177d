#pragma once
// Starting the system screen saver, with the workstation locked first when
// asked. Wine can show neither, so tests put a recorder in place of the
// system.
namespace core {

class IScreenSaverSystem {
public:
    virtual ~IScreenSaverSystem() = default;
    virtual bool LockWorkstation() = 0;
    virtual void StartScreenSaver() = 0;
};

// The system's own (the default), or a test's; returns the previous one.
IScreenSaverSystem* SetScreenSaverSystem(IScreenSaverSystem* s);

void StartScreenSaver(bool LockWorkstationFirst);

}  // namespace core
