#include "app/services/PdfCompression.h"

#include <dlfcn.h>
#include <zlib.h>

#include <atomic>

namespace {

thread_local int fastScopes = 0;
std::atomic<bool> called{false};

}  // namespace

FastPdfCompression::FastPdfCompression() { ++fastScopes; }
FastPdfCompression::~FastPdfCompression() { --fastScopes; }
bool FastPdfCompression::seen() { return called; }

// zlib's own entry point, found after this one: everything but the level goes through untouched.
extern "C" int deflateInit_(z_streamp stream, int level, const char* version, int streamSize) {
    using Init = int (*)(z_streamp, int, const char*, int);
    static const Init zlib = reinterpret_cast<Init>(::dlsym(RTLD_NEXT, "deflateInit_"));
    if (!zlib) return Z_VERSION_ERROR;
    if (fastScopes > 0 && level == Z_DEFAULT_COMPRESSION) {
        called = true;
        level = 1;
    }
    return zlib(stream, level, version, streamSize);
}
