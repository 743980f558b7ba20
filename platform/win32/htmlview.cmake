# The HTML view's layout engine: litehtml (Debian's liblitehtml-dev). Its
# shared library brings the gumbo HTML parser it needs itself. Only
# htmlview*.cpp include its headers.
find_library(WINSIM_LITEHTML litehtml REQUIRED)
find_path(WINSIM_LITEHTML_INCLUDE litehtml/litehtml.h REQUIRED)
target_include_directories(win32 PRIVATE ${WINSIM_LITEHTML_INCLUDE})
target_link_libraries(win32 PRIVATE ${WINSIM_LITEHTML})
