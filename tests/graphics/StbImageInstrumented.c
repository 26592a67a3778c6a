/* The fuzz build compiles Debian's stb_image (the system header) into the fuzz target itself, so
   that libFuzzer's coverage and the sanitizers see inside the decoder; the game links the system
   library. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
