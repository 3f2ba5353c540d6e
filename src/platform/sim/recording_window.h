#pragma once
// A window layer that records every message box and unload instead of
// showing anything.
#include "platform/window_ops.h"

#include <vector>

namespace sim {

struct ShownMessage {
  std::string prompt;
  std::optional<std::string> title;
  platform::MessageIcon icon;
};

class RecordingWindow : public platform::WindowOps {
public:
  void messageBox(const std::string &prompt, const std::optional<std::string> &title,
                  platform::MessageIcon icon) override {
    messages.push_back({prompt, title, icon});
  }
  void unload() override { ++unloads; }

  std::vector<ShownMessage> messages;
  int unloads = 0;
};

} // namespace sim
