#pragma once

#include <QImage>

// Pictures built around the door panel: the window icon, the About box
// picture and the link animation clip.
namespace panelpictures {

constexpr int iconSize = 64;
constexpr int clipFrames = 7;
constexpr int clipFrameSize = 32;

QImage drawWindowIcon();
QImage drawAboutPicture();
// The clip as one horizontal strip of `clipFrames` frames. Frame 0 shows
// the panel alone (the off-line still); the others send out waves.
QImage drawClipStrip();

} // namespace panelpictures
