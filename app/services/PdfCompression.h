#pragma once
// How hard the pages of a published PDF are compressed. Qt's PDF writer deflates every page at
// zlib's default level (6) and offers no choice; a page of a drawing is millions of digits, and
// at level 6 a publish spends half its time there. Level 1 is four times as fast for about a
// fifth more bytes (bench/run-publish-bench), so the workers that draw pages ask for it.
//
// The writer's call to zlib's deflateInit_ is answered here: in a thread inside a
// FastPdfCompression scope at level 1, everywhere else exactly as asked. Should the call not come
// through here (a build that links zlib differently), pages are compressed as Qt does by itself.
class FastPdfCompression {
public:
    FastPdfCompression();
    ~FastPdfCompression();
    FastPdfCompression(const FastPdfCompression&) = delete;
    FastPdfCompression& operator=(const FastPdfCompression&) = delete;

    // Whether the writer's compression came through here since the process started.
    static bool seen();
};
