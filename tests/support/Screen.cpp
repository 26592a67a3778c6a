// Pictures of X windows for tests: see Screen.h.
#include "tests/support/Screen.h"

#include <stb_image.h>

#include "tests/support/Process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

Rgb Picture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const size_t i =
      (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
  return {pixels[i], pixels[i + 1], pixels[i + 2]};
}

int CountNear(const Picture& p, const std::vector<std::pair<int, int>>& points, int r, int g, int b,
              int tolerance) {
  int n = 0;
  for (auto [x, y] : points) n += Near(p.At(x, y), r, g, b, tolerance) ? 1 : 0;
  return n;
}

bool WindowExists(const std::string& window) {
  if (window.empty() || window.find_first_not_of("0123456789") != std::string::npos) return false;
  return RunTool("xwininfo -id " + window + " >/dev/null 2>&1", 10s).Ok();
}

Shot Capture(const std::string& window, const fs::path& file) {
  Shot shot;
  std::error_code ignored;
  fs::remove(file, ignored);
  if (window != "root" && !WindowExists(window)) {
    shot.error = "window " + window + " is gone (" + file.filename().string() + " not taken)";
    return shot;
  }
  const std::string target = window == "root" ? "root" : window;
  const ToolResult import =
      RunTool("import -window " + target + " '" + file.string() + "' 2>/dev/null", 15s);
  if (!import.Ok()) {
    shot.error = "import of window " + window + " into " + file.string() + " " + import.Describe();
    return shot;
  }
  int channels = 0;
  Picture& p = shot.picture;
  unsigned char* data = stbi_load(file.c_str(), &p.width, &p.height, &channels, 3);
  if (data == nullptr) {
    p = {};
    shot.error = "the screenshot " + file.string() + " cannot be read";
    return shot;
  }
  p.pixels.assign(data, data + static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 3);
  stbi_image_free(data);
  return shot;
}
