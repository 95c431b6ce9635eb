#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG with libjpeg.  A damaged or truncated file gives a null
// image (libjpeg's own error handler would end the program).
QImage DecodeJpeg(const QByteArray &data);
