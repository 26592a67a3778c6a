// A build without the OpenGL 1.x backend (the browser's WebGL has only OpenGL ES 2.0's rules): a
// renderer asked for OpenGL 1.x draws through the ES 2.0 backend.
#include "graphics/RenderBackend.h"

std::shared_ptr<gxtkRenderBackend> MakeGlBackend() {
  return MakeEs2Backend();
}
