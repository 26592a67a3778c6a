// The check of SDL gamepad mappings before GLFW gets them.
//
// GLFW takes any text as mappings and silently skips lines it cannot use, so the adapter checks
// SDL's format itself and uses the text only when every line is a mapping.
#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "platform/glfw/Glfw2Adapter.h"
#include "runtime/Error.h"

namespace glfw2::adapter {
namespace {

constexpr std::string_view kMappingElements[] = {
    "a",
    "b",
    "x",
    "y",
    "back",
    "start",
    "guide",
    "leftshoulder",
    "rightshoulder",
    "leftstick",
    "rightstick",
    "dpup",
    "dpright",
    "dpdown",
    "dpleft",
    "lefttrigger",
    "righttrigger",
    "leftx",
    "lefty",
    "rightx",
    "righty",
};
// GLFW keeps mapping names in 128 bytes and passes over lines of 1024 bytes or more.
constexpr size_t kMappingNameLimit = 127;
constexpr size_t kMappingLineLimit = 1023;

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

// A joystick element: button "b3", axis "a2" (optionally half, "+a2" / "-a2", or inverted,
// "a2~") or hat direction "h0.4".
bool IsMappingElement(std::string_view value) {
  if (!value.empty() && (value[0] == '+' || value[0] == '-')) value.remove_prefix(1);
  if (value.empty()) return false;
  const char kind = value[0];
  value.remove_prefix(1);
  switch (kind) {
    case 'b':
      return IsDigits(value);
    case 'a':
      if (!value.empty() && value.back() == '~') value.remove_suffix(1);
      return IsDigits(value);
    case 'h': {
      const size_t dot = value.find('.');
      return dot != std::string_view::npos && IsDigits(value.substr(0, dot)) &&
             IsDigits(value.substr(dot + 1));
    }
    default:
      return false;
  }
}

bool IsMappingGuid(std::string_view guid) {
  // SDL's "xinput" stands for any XInput pad on Windows; GLFW passes over such lines.
  if (guid == "xinput") return true;
  return guid.size() == 32 && std::all_of(guid.begin(), guid.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}

// A field of the player's text, quoted for the report: at most 40 bytes, control characters as ?.
std::string Quoted(std::string_view field) {
  constexpr size_t kLimit = 40;
  std::string quoted = "\"";
  for (const char c : field.substr(0, kLimit)) {
    quoted += static_cast<unsigned char>(c) < 32 || c == 127 ? '?' : c;
  }
  return quoted + (field.size() > kLimit ? "...\"" : "\"");
}

// Splits off the text up to the next comma (all of it when there is none) and the comma.
std::string_view TakeField(std::string_view& line) {
  const size_t comma = line.find(',');
  const std::string_view field = line.substr(0, comma);
  line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
  return field;
}

// Why `line` is not a mapping "GUID,name,field:value,...", or empty when it is one. Fields GLFW
// does not use (platform, misc1, paddles...) may hold anything.
std::string MappingFault(std::string_view line) {
  if (line.size() > kMappingLineLimit) return "it is longer than 1023 characters";
  if (!IsMappingGuid(TakeField(line))) {
    return "it does not start with a GUID of 32 hexadecimal digits";
  }
  const size_t nameEnd = line.find(',');
  if (nameEnd == std::string_view::npos) return "the name is not followed by a comma";
  if (nameEnd > kMappingNameLimit) return "the name is longer than 127 characters";
  line.remove_prefix(nameEnd + 1);
  while (!line.empty()) {
    const std::string_view field = TakeField(line);
    if (field.empty()) continue;
    const size_t colon = field.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      return Quoted(field) + " is not a name:value pair";
    }
    std::string_view name = field.substr(0, colon);
    if (name[0] == '+' || name[0] == '-') name.remove_prefix(1);  // half-axis outputs
    const bool element = std::find(std::begin(kMappingElements), std::end(kMappingElements),
                                   name) != std::end(kMappingElements);
    if (element && !IsMappingElement(field.substr(colon + 1))) {
      return Quoted(field) + " does not name a button (b), axis (a) or hat (h)";
    }
  }
  return {};
}

}  // namespace

void LoadGamepadMappings(std::string_view text, const char* source) {
  std::string_view rest = text;
  int lineNumber = 0;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') continue;
    const std::string fault = MappingFault(line);
    if (!fault.empty()) {
      xqPrint(String::FromUtf8(std::string("Gamepad mappings in ") + source + " ignored: line " +
                               std::to_string(lineNumber) + ": " + fault));
      return;
    }
  }
  glfwUpdateGamepadMappings(std::string(text).c_str());
}

}  // namespace glfw2::adapter
