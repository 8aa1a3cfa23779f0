# The pixel operations against their scalar twins, and the image loaders against bare libpng/libjpeg.
tl_add_bench(pixel_bench bench/PixelBench.cpp bench/PixelScalar.cpp)
# the scalar side must stay scalar: no auto-vectorisation of the second copy
set_source_files_properties(bench/PixelScalar.cpp PROPERTIES COMPILE_OPTIONS "-msse2;-fno-tree-vectorize")

tl_add_bench(image_bench bench/ImageBench.cpp)
target_link_libraries(image_bench PRIVATE tl::png tl::jpeg)
