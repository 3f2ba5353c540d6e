#pragma once
// What the change-password dialog needs of the window that owns the password.
#include "password/password_store.h"

#include <optional>
#include <string>

namespace password {

class PasswordOwner {
public:
  virtual ~PasswordOwner() = default;
  // The stored password; nullopt when it can't be read (it matches nothing).
  virtual std::optional<std::string> getPasswd() = 0;
  virtual bool putPasswd(const std::string &strPasswd) = 0;
  // Keeps other copies from changing the password between the check of the
  // old one and the change; empty when it can't be had.
  virtual ChangeLock lockPasswd() = 0;
};

} // namespace password
