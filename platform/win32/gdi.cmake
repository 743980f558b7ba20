# The graphics layer's host libraries: FreeType renders text, libpng writes
# screenshots. Only gdi*/font*/png* sources include them.
find_package(Freetype REQUIRED)
find_package(PNG REQUIRED)
target_link_libraries(win32 PRIVATE Freetype::Freetype PNG::PNG)
