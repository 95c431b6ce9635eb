#pragma once

// The link lamp's looks, as numbers of the tool-bar pictures that show them:
// the log-on and the pages set the look, the window draws the picture.
namespace Lamp {
enum Look {
    Red = 20,   // logging on
    Green = 21, // on line
    Grey = 22,  // off line
};
} // namespace Lamp
