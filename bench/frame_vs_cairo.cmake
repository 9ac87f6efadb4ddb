# Builds the cairo half of frame_vs_cairo_bench when cairo is installed (include
# this after the benchmark targets are made); without cairo the benchmark
# measures our frame alone.
pkg_check_modules(CAIRO IMPORTED_TARGET cairo)
if(CAIRO_FOUND AND TARGET frame_vs_cairo_bench)
    target_link_libraries(frame_vs_cairo_bench PRIVATE PkgConfig::CAIRO)
    target_compile_definitions(frame_vs_cairo_bench PRIVATE FUIFJE_HAVE_CAIRO)
endif()
