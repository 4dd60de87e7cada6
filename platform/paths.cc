#include "platform/paths.h"

namespace platform {
namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The length of the path component that starts at |path|[start].
std::size_t componentLength(std::string_view path, std::size_t start) {
  std::size_t end = start;
  while (end < path.size() && !isPathSeparator(path[end])) ++end;
  return end - start;
}

}  // namespace

bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

bool isDriveAbsolutePath(std::string_view path) {
  return path.size() >= 3 && isAsciiLetter(path[0]) && path[1] == ':' && isPathSeparator(path[2]);
}

bool isUncPath(std::string_view path) {
  if (path.size() < 2 || !isPathSeparator(path[0]) || !isPathSeparator(path[1])) return false;
  const std::size_t server = componentLength(path, 2);
  const std::string_view serverName = path.substr(2, server);
  if (server == 0 || serverName == "." || serverName == "?") return false;
  const std::size_t shareStart = 2 + server + 1;
  return shareStart < path.size() && componentLength(path, shareStart) > 0;
}

}  // namespace platform
