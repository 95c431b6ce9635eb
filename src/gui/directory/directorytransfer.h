#pragma once

#include "session/unitdirectorytransfer.h"

class TostiForm;

// The directory's download and upload as the window shows them: the
// transfer window, the hourglass, the lamp, the status bar and the phone
// list's grid.
class DirectoryTransfer : public UnitDirectoryTransfer {
    Q_OBJECT
public:
    explicit DirectoryTransfer(TostiForm &form);
};
