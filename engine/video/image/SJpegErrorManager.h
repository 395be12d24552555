#pragma once
// The libjpeg error manager of the JPEG loader and writer: a fatal error is logged and jumps
// back to the caller's setjmp, which reports failure, instead of ending the process.

#include "engine/video/image/CImageLoaderUtil.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace pravik::video {

struct SJpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;

    // The manager for cinfo.err; the caller's setjmp(jump) must come before any library call.
    jpeg_error_mgr* install() {
        jpeg_std_error(&pub);
        pub.error_exit = errorExit;
        pub.output_message = outputMessage;
        return &pub;
    }

    static void outputMessage(j_common_ptr cinfo) {
        char text[JMSG_LENGTH_MAX > 200 ? JMSG_LENGTH_MAX : 200];
        (*cinfo->err->format_message)(cinfo, text);
        image_io::logError("JPEG FATAL ERROR", text);
    }

    [[noreturn]] static void errorExit(j_common_ptr cinfo) {
        (*cinfo->err->output_message)(cinfo);
        std::longjmp(reinterpret_cast<SJpegErrorManager*>(cinfo->err)->jump, 1);
    }
};

}  // namespace pravik::video
