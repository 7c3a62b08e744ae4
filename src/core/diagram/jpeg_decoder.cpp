#include "jpeg_decoder.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

namespace pictog {

namespace {

    constexpr long MaxPixels = 16L * 1024 * 1024;

    // libjpeg's error handler must not return; it jumps back to the decoding call instead of
    // ending the process, which is what the library's default handler would do.
    struct ErrorManager {
        jpeg_error_mgr pub;
        std::jmp_buf jump;
        char message[JMSG_LENGTH_MAX];
        bool warned;
    };

    extern "C" void errorExit(j_common_ptr info)
    {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        (*info->err->format_message)(info, manager->message);
        std::longjmp(manager->jump, 1);
    }

    // Warnings (a truncated file, bad entropy data) would otherwise go to stderr and the picture
    // come out partly grey; our icons are never damaged, so the first warning fails the decoding.
    extern "C" void emitMessage(j_common_ptr info, int level)
    {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        if (level < 0 && !manager->warned) {
            manager->warned = true;
            (*info->err->format_message)(info, manager->message);
        }
    }

    extern "C" void outputMessage(j_common_ptr) { }

    // Everything between setjmp and a possible longjmp lives in libjpeg's own memory or behind
    // pointers, so no C++ object of this frame is skipped or left indeterminate by the jump.
    bool decodeInto(jpeg_decompress_struct* info, ErrorManager* manager, const unsigned char* data,
        std::size_t size, RgbPixels* out)
    {
        if (setjmp(manager->jump) != 0)
            return false;

        jpeg_create_decompress(info);
        jpeg_mem_src(info, data, static_cast<unsigned long>(size));
        jpeg_read_header(info, TRUE);
        if (info->jpeg_color_space == JCS_GRAYSCALE) {
            info->out_color_space = JCS_GRAYSCALE;
        } else if (info->jpeg_color_space == JCS_YCbCr || info->jpeg_color_space == JCS_RGB) {
            info->out_color_space = JCS_RGB;
        } else {
            std::snprintf(
                manager->message, sizeof manager->message, "Unsupported JPEG colour space");
            return false;
        }
        jpeg_start_decompress(info);

        const long width = static_cast<long>(info->output_width);
        const long height = static_cast<long>(info->output_height);
        if (width <= 0 || height <= 0 || width * height > MaxPixels) {
            std::snprintf(manager->message, sizeof manager->message, "JPEG picture too large");
            return false;
        }
        const int components = info->output_components;
        JSAMPARRAY line = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info),
            JPOOL_IMAGE, static_cast<JDIMENSION>(width * components), 1);

        out->width = static_cast<int>(width);
        out->height = static_cast<int>(height);
        out->pixels.resize(static_cast<std::size_t>(width * height));
        while (info->output_scanline < info->output_height) {
            const long y = static_cast<long>(info->output_scanline);
            if (jpeg_read_scanlines(info, line, 1) != 1)
                break;
            const JSAMPLE* s = line[0];
            std::uint32_t* d = out->pixels.data() + y * width;
            for (long x = 0; x < width; ++x, s += components) {
                const std::uint32_t r = s[0];
                const std::uint32_t g = components == 3 ? s[1] : s[0];
                const std::uint32_t b = components == 3 ? s[2] : s[0];
                d[x] = (r << 16) | (g << 8) | b;
            }
        }
        jpeg_finish_decompress(info);
        return !manager->warned;
    }

} // namespace

JpegDecoding decodeJpeg(const unsigned char* data, std::size_t size)
{
    JpegDecoding result;
    if (data == nullptr || size == 0) {
        result.error = "Empty JPEG data";
        return result;
    }
    jpeg_decompress_struct info {};
    ErrorManager manager {};
    info.err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = errorExit;
    manager.pub.emit_message = emitMessage;
    manager.pub.output_message = outputMessage;

    RgbPixels pixels;
    bool ok = false;
    try {
        ok = decodeInto(&info, &manager, data, size, &pixels);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    jpeg_destroy_decompress(&info);
    if (ok)
        result.image = std::move(pixels);
    else
        result.error = manager.message;
    return result;
}

} // namespace pictog
