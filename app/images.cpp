// Each file is included by the assembler (.incbin) from the path the build
// passes in, between a start and an end symbol.
#include "app/images.h"

#define VARNOKE_EMBED(symbol, path)                                       \
    asm(".section .rodata\n"                                              \
        ".balign 16\n"                                                    \
        ".hidden " #symbol "Start, " #symbol "End\n"                      \
        ".globl " #symbol "Start, " #symbol "End\n" #symbol "Start:\n"     \
        ".incbin \"" path "\"\n" #symbol "End:\n"                         \
        ".previous\n");                                                   \
    extern "C" const char symbol##Start[];                                \
    extern "C" const char symbol##End[];                                  \
    const std::string_view symbol(symbol##Start, size_t(symbol##End - symbol##Start))

VARNOKE_EMBED(SkinEngineImage, VARNOKE_SKIN_ENGINE_FILE);
VARNOKE_EMBED(SkinFileImage, VARNOKE_SKIN_FILE);
VARNOKE_EMBED(BannerImage, VARNOKE_BANNER_FILE);
VARNOKE_EMBED(ProgramIconImage, VARNOKE_ICON_FILE);

QPixmap PngPixmap(std::string_view png) {
    QPixmap pixmap;
    pixmap.loadFromData(reinterpret_cast<const uchar*>(png.data()), uint(png.size()), "PNG");
    return pixmap;
}
