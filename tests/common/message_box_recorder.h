#pragma once
// Records message boxes instead of opening them, for as long as it lives.
#include <functional>
#include <vector>

#include "platform/message_box.h"

namespace kelvanor::testing {

class MessageBoxRecorder {
 public:
  // `whileOpen` runs inside each box, as the modal loop would run other events.
  explicit MessageBoxRecorder(std::function<void()> whileOpen = {}) {
    previous_ = SetMessageBoxHook([this, whileOpen](const MessageBoxCall& call) {
      calls.push_back(call);
      if (whileOpen) whileOpen();
      return call.buttons == MessageButtons::YesNo ? answer : kIdOk;
    });
  }
  ~MessageBoxRecorder() { SetMessageBoxHook(std::move(previous_)); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;

  std::vector<MessageBoxCall> calls;
  int answer = kIdYes;  // how questions are answered

 private:
  MessageBoxHook previous_;
};

}  // namespace kelvanor::testing
