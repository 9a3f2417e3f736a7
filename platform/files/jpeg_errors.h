// libjpeg's error handling for our encoder and decoder: a fatal error jumps
// back to the caller's setjmp instead of ending the process, with its text.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

inline void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

inline void JpegSilentOutput(j_common_ptr) {}
