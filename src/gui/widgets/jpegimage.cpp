#include "widgets/jpegimage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    std::longjmp(manager->jump, 1);
}

void onMessage(j_common_ptr) {} // warnings about a slightly odd file are not ours to print

// The frame that libjpeg may leave by longjmp holds no C++ object with a
// destructor: the image lives in the caller.
bool decodeInto(jpeg_decompress_struct *info, ErrorManager *errors, const QByteArray *data, QImage *out)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_mem_src(info, reinterpret_cast<const unsigned char *>(data->constData()),
                 static_cast<unsigned long>(data->size()));
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    if (info->output_components != 3)
        return false;
    *out = QImage(int(info->output_width), int(info->output_height), QImage::Format_RGB888);
    if (out->isNull())
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->scanLine(int(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}
} // namespace

QImage DecodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = onMessage;
    jpeg_create_decompress(&info);
    QImage image;
    const bool ok = decodeInto(&info, &errors, &data, &image);
    jpeg_destroy_decompress(&info);
    return ok ? image : QImage();
}
