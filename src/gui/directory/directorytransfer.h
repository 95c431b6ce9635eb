#pragma once

#include "session/unitdirectorytransfer.h"

class PageHost;

// The directory's download and upload as the window shows them: the
// transfer window, the hourglass, the lamp, the status bar and the phone
// list's grid.
class DirectoryTransfer : public UnitDirectoryTransfer {
    Q_OBJECT
public:
    DirectoryTransfer(PageHost &host, QObject *parent);
    // For a window, which is both the host and the parent.
    template <class Window>
    explicit DirectoryTransfer(Window &window) : DirectoryTransfer(window, &window)
    {
    }
};
