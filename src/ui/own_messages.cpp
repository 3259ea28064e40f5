#include "ui/own_messages.h"

#include "ui/identity.h"

namespace zingel {

OwnMessages ReceiveOwnMessages(HWND window, User32Lookup lookup) {
  OwnMessages messages;
  messages.taskbar_created = RegisterWindowMessageA("TaskbarCreated");
  messages.bring_back = RegisterWindowMessageA(kBringBackMessage);
  LetThroughFromLowerIntegrity(window, messages.taskbar_created, lookup);
  LetThroughFromLowerIntegrity(window, messages.bring_back, lookup);
  return messages;
}

}  // namespace zingel
