/* The code of stb_image and stb_vorbis for the browser build, from Debian's headers (the desktop
   links the same code from libstb). Only what the host decodes: PNG images and Ogg Vorbis. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <stb_vorbis.h>
