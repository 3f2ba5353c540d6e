#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sim {
namespace {

// Registry names compare without regard to ASCII letter case.
std::string keyOf(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

} // namespace

void SimRegistry::addKey(const std::string &path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    keys_[keyOf(path.substr(0, end))];
    start = end + 1;
  }
}

void SimRegistry::putValue(const std::string &path, const std::string &name, RegValue value) {
  addKey(path);
  keys_[keyOf(path)][keyOf(name)] = std::move(value);
}

void SimRegistry::putDword(const std::string &path, const std::string &name, std::uint32_t value) {
  RegValue v;
  v.data = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  putValue(path, name, v);
}

bool SimRegistry::hasKey(const std::string &path) const { return keys_.count(keyOf(path)) != 0; }

std::optional<RegValue> SimRegistry::value(const std::string &path, const std::string &name) const {
  auto key = keys_.find(keyOf(path));
  if (key == keys_.end())
    return std::nullopt;
  auto v = key->second.find(keyOf(name));
  if (v == key->second.end())
    return std::nullopt;
  return v->second;
}

std::optional<std::uint32_t> SimRegistry::dword(const std::string &path,
                                                const std::string &name) const {
  auto v = value(path, name);
  if (!v || v->type != platform::kRegDword || v->data.size() != 4)
    return std::nullopt;
  std::uint32_t result = 0;
  std::memcpy(&result, v->data.data(), 4);
  return result;
}

platform::RegKey SimRegistry::newHandle(const std::string &path, std::uint32_t access) {
  const platform::RegKey key = nextHandle_++;
  handles_[key] = Handle{path, access};
  return key;
}

const SimRegistry::Handle *SimRegistry::handle(platform::RegKey key) const {
  auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

long SimRegistry::createKey(const std::string &subKey, std::uint32_t access,
                            platform::RegKey *key) {
  if (long fault = faults_.check("RegCreateKeyEx"))
    return fault;
  addKey(subKey);
  *key = newHandle(subKey, access);
  return platform::kRegSuccess;
}

long SimRegistry::openKey(const std::string &subKey, std::uint32_t access, platform::RegKey *key) {
  if (long fault = faults_.check("RegOpenKeyEx"))
    return fault;
  if (!hasKey(subKey))
    return platform::kRegFileNotFound;
  *key = newHandle(subKey, access);
  return platform::kRegSuccess;
}

long SimRegistry::queryValue(platform::RegKey key, const std::string &name, std::uint32_t *type,
                             std::uint8_t *data, std::uint32_t *size) {
  if (long fault = faults_.check("RegQueryValueEx"))
    return fault;
  const Handle *h = handle(key);
  if (!h)
    return platform::kRegInvalidHandle;
  if (!(h->access & platform::kKeyQueryValue))
    return platform::kRegAccessDenied;
  auto v = value(h->path, name);
  if (!v)
    return platform::kRegFileNotFound;
  const auto length = static_cast<std::uint32_t>(v->data.size());
  if (length > *size) {
    *size = length;
    return platform::kRegMoreData;
  }
  std::copy(v->data.begin(), v->data.end(), data);
  *size = length;
  *type = v->type;
  return platform::kRegSuccess;
}

long SimRegistry::setDword(platform::RegKey key, const std::string &name, std::uint32_t value) {
  if (long fault = faults_.check("RegSetValueEx"))
    return fault;
  const Handle *h = handle(key);
  if (!h)
    return platform::kRegInvalidHandle;
  if (!(h->access & platform::kKeySetValue))
    return platform::kRegAccessDenied;
  putDword(h->path, name, value);
  return platform::kRegSuccess;
}

long SimRegistry::closeKey(platform::RegKey key) {
  const long fault = faults_.check("RegCloseKey");
  const bool known = handles_.erase(key) != 0; // a failed close still releases the handle
  if (fault)
    return fault;
  return known ? platform::kRegSuccess : platform::kRegInvalidHandle;
}

} // namespace sim
