#pragma once

class QWidget;

// Shows the program's messages as message boxes: installed by the main
// window as the message service's presenter.
namespace MessageBoxes {
// Installs the boxes as the presenter (again is harmless).
void install();
// The window that boxes are centred on (the main window); may be null.
void setParentWindow(QWidget *parent);
} // namespace MessageBoxes
