#pragma once

#include <QImage>

// The three pictures of the transfer window (265 x 73, opaque): a PC on
// the left, the door unit on the right and a data packet between them.
// Picture 1 has the packet at the PC, 2 half way, 3 at the unit, so the
// window's order 2, 3, 2, 1 shows a request going out and its reply
// coming back.
namespace transferpictures {

constexpr int width = 265;
constexpr int height = 73;

QImage drawPicture(int number);   // 1, 2 or 3

} // namespace transferpictures
